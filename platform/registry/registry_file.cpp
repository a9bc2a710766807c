#include "platform/registry/registry_file.h"

#include "platform/text/letter_case.h"

namespace tambrel {

std::optional<std::u16string> registryKeyPathForLookup(std::string_view keyPath) {
    return registryKeyPathForLookup(keyPath, foldLetterCase);
}

std::u16string registryValueNameForLookup(std::string_view valueName) {
    return registryValueNameForLookup(valueName, foldLetterCase);
}

RegistryLookup lookupRegistryValue(std::string_view registryText,
                                   std::span<const std::u16string> keyPaths,
                                   std::u16string_view valueName) {
    return lookupRegistryValue(registryText, keyPaths, valueName, foldLetterCase);
}

} // namespace tambrel
