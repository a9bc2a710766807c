// The Wine registry file's lookup (common/registry/wine_registry_file.h) with names compared by
// this system's letter-case rules, as the registry itself compares them.
#pragma once

#include "common/registry/wine_registry_file.h"

namespace tambrel {

std::optional<std::u16string> registryKeyPathForLookup(std::string_view keyPath);
std::u16string registryValueNameForLookup(std::string_view valueName);
RegistryLookup lookupRegistryValue(std::string_view registryText,
                                   std::span<const std::u16string> keyPaths,
                                   std::u16string_view valueName);

} // namespace tambrel
