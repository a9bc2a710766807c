// Reading one value of HKEY_LOCAL_MACHINE as the registry holds it, type and raw bytes, in the
// 64-bit view first and then the 32-bit one. What a caller's kind makes of the bytes is decided
// above this layer. On POSIX the registry is a Wine-style prefix's system.reg, read afresh at
// every call and never written; on Windows it is the system's own, opened for reading only.
#pragma once

#include "common/registry/registry_value.h"

#include <string_view>

namespace tambrel::platform {

// The value `valueName` (empty: the key's default value) of the key `keyPath` below
// HKEY_LOCAL_MACHINE, names compared without regard to letter case. The key counts as absent
// when it cannot be opened for reading (missing, no access, a path that names no key).
RegistryLookup readMachineRegistryValue(std::string_view keyPath, std::string_view valueName);

} // namespace tambrel::platform
