#include "resources/logos/windows_icon_file.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace tambrel {
namespace {

std::uint32_t littleEndian(const std::string& bytes, std::size_t at, int count) {
    std::uint32_t value = 0;
    for (int index = count - 1; index >= 0; --index)
        value = (value << 8) | static_cast<unsigned char>(bytes.at(at + index));
    return value;
}

TEST(WindowsIconFile, DirectoryPointsAtEachImageInTurn) {
    const std::vector<IconImage> images = {{16, "first"}, {48, "second image"}, {256, "third"}};
    const std::string file = windowsIconFile(images);
    ASSERT_EQ(file.size(), 6u + 16u * 3u + 5u + 12u + 5u);
    EXPECT_EQ(littleEndian(file, 2, 2), 1u); // an icon
    EXPECT_EQ(littleEndian(file, 4, 2), 3u);
    std::size_t expectedOffset = 6 + 16 * 3;
    for (std::size_t index = 0; index < images.size(); ++index) {
        const std::size_t entry = 6 + 16 * index;
        SCOPED_TRACE(images[index].size);
        // 256 pixels can only be written as 0.
        EXPECT_EQ(littleEndian(file, entry, 1),
                  static_cast<std::uint32_t>(images[index].size % 256));
        EXPECT_EQ(littleEndian(file, entry + 1, 1), littleEndian(file, entry, 1));
        EXPECT_EQ(littleEndian(file, entry + 8, 4), images[index].pngBytes.size());
        EXPECT_EQ(littleEndian(file, entry + 12, 4), expectedOffset);
        EXPECT_EQ(file.substr(expectedOffset, images[index].pngBytes.size()),
                  images[index].pngBytes);
        expectedOffset += images[index].pngBytes.size();
    }
}

TEST(WindowsIconFile, RefusesWhatTheFormatCannotSay) {
    const struct {
        const char* name;
        std::vector<IconImage> images;
    } cases[] = {
        {"no image", {}},
        {"size zero", {{0, "png"}}},
        {"wider than 256", {{257, "png"}}},
        {"no image bytes", {{32, ""}}},
        {"one bad among good", {{16, "png"}, {300, "png"}}},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.name);
        EXPECT_TRUE(windowsIconFile(row.images).empty());
    }
}

} // namespace
} // namespace tambrel
