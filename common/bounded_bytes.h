// The numbers of a file format, read from bytes held in memory in the format's byte order, with
// every read checked against their end: a field that would run past it is nothing, never a read
// beyond. The WAV header (little-endian RIFF and RF64, big-endian RIFX) and the language
// libraries' PE images take their fields through it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace tambrel {

enum class ByteOrder { LittleEndian, BigEndian };

class BoundedBytes {
public:
    explicit BoundedBytes(std::span<const std::uint8_t> bytes,
                          ByteOrder order = ByteOrder::LittleEndian)
        : bytes_(bytes), order_(order) {}
    explicit BoundedBytes(std::span<const std::byte> bytes,
                          ByteOrder order = ByteOrder::LittleEndian)
        : bytes_(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()), order_(order) {
    }

    std::size_t size() const { return bytes_.size(); }
    ByteOrder order() const { return order_; }

    bool holds(std::uint64_t offset, std::uint64_t length) const {
        return offset <= bytes_.size() && length <= bytes_.size() - offset;
    }
    std::optional<std::uint16_t> read16(std::uint64_t offset) const {
        if (!holds(offset, 2))
            return std::nullopt;
        return static_cast<std::uint16_t>(assemble(offset, 2));
    }
    std::optional<std::uint32_t> read32(std::uint64_t offset) const {
        if (!holds(offset, 4))
            return std::nullopt;
        return static_cast<std::uint32_t>(assemble(offset, 4));
    }
    std::optional<std::uint64_t> read64(std::uint64_t offset) const {
        if (!holds(offset, 8))
            return std::nullopt;
        return assemble(offset, 8);
    }

private:
    // `width` bytes at `offset`, which the caller has checked are held.
    std::uint64_t assemble(std::uint64_t offset, unsigned width) const {
        std::uint64_t value = 0;
        for (unsigned i = 0; i < width; ++i) {
            const unsigned from = order_ == ByteOrder::LittleEndian ? width - 1 - i : i;
            value = value << 8 | bytes_[static_cast<std::size_t>(offset) + from];
        }
        return value;
    }

    std::span<const std::uint8_t> bytes_;
    ByteOrder order_;
};

} // namespace tambrel
