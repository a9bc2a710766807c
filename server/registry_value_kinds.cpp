#include "server/registry_value_kinds.h"

#include "common/text/utf16_text.h"

#include <algorithm>

namespace tambrel {

namespace {

constexpr std::uint32_t kStringType = 1;
constexpr std::uint32_t kExpandableStringType = 2;
constexpr std::uint32_t kMultipleStringType = 7;

bool isStringType(std::uint32_t type) {
    return type == kStringType || type == kExpandableStringType || type == kMultipleStringType;
}

} // namespace

bool isSupportedValueKind(std::int16_t kind) {
    return kind == RegSz || kind == RegBinary || kind == RegDword;
}

std::vector<std::uint8_t> eightBitValueBytes(const StoredRegistryValue& value) {
    if (!isStringType(value.type))
        return value.data;
    const std::string text = utf16LittleEndianToUtf8(value.data);
    return {text.begin(), text.end()};
}

RegistryValue registryValueOfKind(const StoredRegistryValue& value, std::int16_t kind,
                                  const RegistryValue& defaultValue) {
    std::vector<std::uint8_t> bytes = eightBitValueBytes(value);
    switch (kind) {
    case RegSz: {
        if (bytes.size() > kTextBufferSize)
            return defaultValue;
        // The text ends at its terminating NUL; a string stored without one keeps its last
        // character instead of losing it to the terminator it does not have.
        const auto end = std::find(bytes.begin(), bytes.end(), std::uint8_t{0});
        return std::string(bytes.begin(), end);
    }
    case RegBinary:
        if (bytes.size() > kBytesBufferSize)
            return defaultValue;
        return bytes;
    case RegDword: {
        if (bytes.size() > kNumberBufferSize)
            return defaultValue;
        std::uint32_t number = 0;
        for (std::size_t index = 0; index < bytes.size(); ++index)
            number |= std::uint32_t{bytes[index]} << (8 * index);
        return static_cast<std::int32_t>(number);
    }
    default:
        return defaultValue;
    }
}

} // namespace tambrel
