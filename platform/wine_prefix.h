// The Wine-style prefix that stands in for "the Windows machine": its registry files and its
// drive letters.
#pragma once

#include <string>

namespace tambrel {

// $WINEPREFIX, or ~/.wine when it is unset or empty.
std::string winePrefixPath();
// <prefix>/system.reg, which holds HKEY_LOCAL_MACHINE.
std::string machineRegistryPath();

} // namespace tambrel
