// Reading one registry value (RegistryAPI). On Linux HKEY_LOCAL_MACHINE is the Wine prefix's
// system.reg, read afresh at every call and never written.
#pragma once

#include "common/result.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace tambrel {

inline constexpr std::uint32_t HKeyLocalMachine = 0x80000002u;

enum RegistryValueKind : std::int16_t {
    RegSz = 1,
    RegBinary = 3,
    RegDword = 4,
};

inline constexpr int kUnsupportedValueTypeError = 1001;

// Empty, text, bytes or a signed 32-bit number.
using RegistryValue =
    std::variant<std::monostate, std::string, std::vector<std::uint8_t>, std::int32_t>;

// The value read, or `defaultValue` when the key or the value cannot be read. The only failure
// is an unsupported kind: error 1001 "Unsupported value type".
Result<RegistryValue> ReadRegistryValue(std::uint32_t rootKey, std::string_view keyPath,
                                        std::string_view valueName, std::int16_t kind,
                                        RegistryValue defaultValue = {});

// What callers make of a result: empty text / 0 for the empty value.
std::string registryValueAsText(const RegistryValue& value);
std::int32_t registryValueAsNumber(const RegistryValue& value);

} // namespace tambrel
