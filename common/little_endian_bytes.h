// The little-endian numbers of a file format, read from bytes held in memory with every read
// checked against their end: a field that would run past it is nothing, never a read beyond.
// The WAV header and the language libraries' PE images take their fields through it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace tambrel {

class LittleEndianBytes {
public:
    explicit LittleEndianBytes(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    explicit LittleEndianBytes(std::span<const std::byte> bytes)
        : bytes_(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()) {}

    std::size_t size() const { return bytes_.size(); }

    bool holds(std::uint64_t offset, std::uint64_t length) const {
        return offset <= bytes_.size() && length <= bytes_.size() - offset;
    }
    std::optional<std::uint16_t> read16(std::uint64_t offset) const {
        if (!holds(offset, 2))
            return std::nullopt;
        return static_cast<std::uint16_t>(bytes_[offset] | (bytes_[offset + 1] << 8));
    }
    std::optional<std::uint32_t> read32(std::uint64_t offset) const {
        if (!holds(offset, 4))
            return std::nullopt;
        return static_cast<std::uint32_t>(bytes_[offset]) |
               (static_cast<std::uint32_t>(bytes_[offset + 1]) << 8) |
               (static_cast<std::uint32_t>(bytes_[offset + 2]) << 16) |
               (static_cast<std::uint32_t>(bytes_[offset + 3]) << 24);
    }

private:
    std::span<const std::uint8_t> bytes_;
};

} // namespace tambrel
