// Finds one value in the text of Wine's registry file ("WINE REGISTRY Version 2", the format
// of system.reg) without building the tree: key lines are only compared until the wanted key
// turns up, and only that key's values are parsed.
#pragma once

#include "common/registry/registry_value.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tambrel {

// How names compare: unit by unit once folded by the system's letter-case rules, which the
// platform layer supplies (platform/registry/registry_file.h binds them), so that this parser
// stays free of system calls.
using LetterCaseFolding = char16_t (*)(char16_t);

// A key path in the form the lookup compares: letter case folded, components joined by single
// backslashes, a trailing backslash dropped. Nothing when the path cannot name a key (a leading
// backslash or an empty component).
std::optional<std::u16string> registryKeyPathForLookup(std::string_view keyPath,
                                                       LetterCaseFolding fold);
// A value name in the form the lookup compares; the empty name is the key's default value.
std::u16string registryValueNameForLookup(std::string_view valueName, LetterCaseFolding fold);

// Looks `valueName` up below each of `keyPaths` (in the forms above, by preference) in one pass
// over `registryText`. The answer is that of the first path whose key exists, or an absent key.
// A key that occurs more than once gathers its values, the later line winning; a line that
// cannot be read is passed over.
RegistryLookup lookupRegistryValue(std::string_view registryText,
                                   std::span<const std::u16string> keyPaths,
                                   std::u16string_view valueName, LetterCaseFolding fold);

} // namespace tambrel
