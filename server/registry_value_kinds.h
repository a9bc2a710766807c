// What a caller of ReadRegistryValue gets for each kind it may ask for: the stored bytes taken as
// they are, within the buffer each kind offers.
#pragma once

#include "platform/registry/registry.h"
#include "server/registry_api.h"

#include <cstddef>

namespace tambrel {

inline constexpr std::size_t kTextBufferSize = 1024;
inline constexpr std::size_t kBytesBufferSize = 4096;
inline constexpr std::size_t kNumberBufferSize = 4;

bool isSupportedValueKind(std::int16_t kind);

// The bytes a caller of the 8-bit registry interface receives: string types converted from
// UTF-16 to UTF-8, every other type as stored.
std::vector<std::uint8_t> eightBitValueBytes(const StoredRegistryValue& value);

// The result for a supported kind, or `defaultValue` when the data do not fit its buffer.
RegistryValue registryValueOfKind(const StoredRegistryValue& value, std::int16_t kind,
                                  const RegistryValue& defaultValue);

} // namespace tambrel
