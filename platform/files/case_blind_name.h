// Comparing file names the way Windows does: without regard to letter case, for ASCII and for
// the letters of UTF-8 names alike.
#pragma once

#include <string>
#include <string_view>

namespace tambrel {

// `name` case-folded code point by code point; bytes that are not valid UTF-8 stay as they are.
std::string foldedName(std::string_view name);

bool sameNameIgnoringCase(std::string_view a, std::string_view b);

} // namespace tambrel
