// Windows-style paths taken apart lexically, the same way whichever system resolves them.
#pragma once

#include <string_view>
#include <vector>

namespace tambrel {

bool isPathSeparator(char c);
bool isDriveLetter(char c);

// Components of a path, with empty ones (doubled separators) and "." dropped and ".." taken
// lexically, as Windows does; ".." never climbs above the root.
std::vector<std::string_view> pathComponents(std::string_view path);

} // namespace tambrel
