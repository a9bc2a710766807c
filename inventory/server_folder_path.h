// The path of a place in the server's tree as the rows show it: below a root in the server's own
// notation (C:\Corvel) the plain concatenation the server's tools use; below a POSIX root
// (/srv/corvel, a copied tree) POSIX separators throughout.
#pragma once

#include <string>
#include <string_view>

namespace tambrel {

// `belowRoot` is in the server's notation, beginning with "\" ("\Stream Files\").
std::string serverFolderPath(std::string_view root, std::string_view belowRoot);

} // namespace tambrel
