// The bounded reader under the WAV and PE readers: both byte orders, every width, and nothing
// read past the end, however close to it a field starts.
#include "common/bounded_bytes.h"

#include <array>
#include <gtest/gtest.h>

namespace tambrel {
namespace {

constexpr std::array<std::uint8_t, 8> kBytes{0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08};

TEST(BoundedBytes, ReadsEachWidthInEitherOrderAndNothingPastTheEnd) {
    const struct {
        const char* name;
        ByteOrder order;
        std::uint64_t offset;
        std::optional<std::uint16_t> read16;
        std::optional<std::uint32_t> read32;
        std::optional<std::uint64_t> read64;
    } cases[] = {
        {"little at 0", ByteOrder::LittleEndian, 0, 0x0201, 0x04030201, 0x0807060504030201},
        {"big at 0", ByteOrder::BigEndian, 0, 0x0102, 0x01020304, 0x0102030405060708},
        {"little at 4", ByteOrder::LittleEndian, 4, 0x0605, 0x08070605, std::nullopt},
        {"big at 5", ByteOrder::BigEndian, 5, 0x0607, std::nullopt, std::nullopt},
        {"last byte", ByteOrder::BigEndian, 7, std::nullopt, std::nullopt, std::nullopt},
        {"at the end", ByteOrder::LittleEndian, 8, std::nullopt, std::nullopt, std::nullopt},
        {"far beyond", ByteOrder::LittleEndian, ~std::uint64_t{0} - 1, std::nullopt, std::nullopt,
         std::nullopt},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.name);
        const BoundedBytes bytes(std::span<const std::uint8_t>(kBytes), row.order);
        EXPECT_EQ(bytes.read16(row.offset), row.read16);
        EXPECT_EQ(bytes.read32(row.offset), row.read32);
        EXPECT_EQ(bytes.read64(row.offset), row.read64);
    }
}

} // namespace
} // namespace tambrel
