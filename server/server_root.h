// The server's install root as the registry names it: the folder every scanned place lies
// below, and the one tree no export may ever write into.
#pragma once

#include "common/result.h"

#include <string>
#include <string_view>

namespace tambrel {

inline constexpr std::string_view kServerPropertiesKey =
    "Software\\Quillan\\Brannock Setup\\1.0\\Properties";
inline constexpr std::string_view kServerRootPathValue = "BrannockRootPath";

// The value's text, read afresh at every call; empty when the key or value is missing.
Result<std::string> ReadServerRootPath();

// "HKEY_LOCAL_MACHINE\<key>\<value>", as a message names the value concerned.
std::string serverRootPathValueName();

} // namespace tambrel
