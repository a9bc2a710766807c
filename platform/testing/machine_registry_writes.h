// Writes to HKEY_LOCAL_MACHINE for the tests that check the registry reader against Windows'
// own registry: values written in one view, the server's keys removed, a key's access list
// emptied. Windows only; on POSIX the tests write Wine's registry file instead.
#pragma once

#include "common/registry/registry_value.h"

#include <string_view>

namespace tambrel::testing {

enum class RegistryView { SixtyFourBit, ThirtyTwoBit };

// Creates `keyPath` (below HKEY_LOCAL_MACHINE, backslashes single, ASCII) in `view` and writes
// `value` to it as `name`; false when either step is refused.
bool writeMachineValue(std::string_view keyPath, std::string_view name,
                       const StoredRegistryValue& value,
                       RegistryView view = RegistryView::SixtyFourBit);

// Removes HKEY_LOCAL_MACHINE\Software\Quillan with all below it, in `view`.
void removeServerKeys(RegistryView view);

// Sets the key's access list in the 64-bit view: empty, so that no one may read it, or none at
// all, so that everyone may again. The owner may always change it.
bool setMachineKeyAccess(std::string_view keyPath, bool denyAll);

} // namespace tambrel::testing
