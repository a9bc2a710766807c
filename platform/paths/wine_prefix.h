// The Wine-style prefix that stands in for "the Windows machine": its registry files and its
// drive letters.
#pragma once

#include <string>

namespace tambrel {

// The prefix given on a command line, or $WINEPREFIX, or ~/.wine when it is unset or empty.
std::string winePrefixPath();
// A prefix chosen by the user for the rest of the program; empty returns to the default.
void setWinePrefixPath(std::string prefix);
// <prefix>/system.reg, which holds HKEY_LOCAL_MACHINE.
std::string machineRegistryPath();

} // namespace tambrel
