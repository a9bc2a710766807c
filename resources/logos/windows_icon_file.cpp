#include "resources/logos/windows_icon_file.h"

#include <cstddef>
#include <limits>

namespace tambrel {
namespace {

void appendLittleEndian(std::string& out, std::uint32_t value, int bytes) {
    for (int index = 0; index < bytes; ++index)
        out.push_back(static_cast<char>((value >> (8 * index)) & 0xff));
}

} // namespace

std::string windowsIconFile(const std::vector<IconImage>& images) {
    constexpr std::size_t headerSize = 6;
    constexpr std::size_t entrySize = 16;
    if (images.empty() || images.size() > std::numeric_limits<std::uint16_t>::max())
        return {};
    std::size_t offset = headerSize + entrySize * images.size();
    std::string out;
    appendLittleEndian(out, 0, 2); // reserved
    appendLittleEndian(out, 1, 2); // an icon, not a cursor
    appendLittleEndian(out, static_cast<std::uint32_t>(images.size()), 2);
    for (const IconImage& image : images) {
        if (image.size < 1 || image.size > 256 || image.pngBytes.empty())
            return {};
        if (offset > std::numeric_limits<std::uint32_t>::max() ||
            image.pngBytes.size() > std::numeric_limits<std::uint32_t>::max() - offset)
            return {};
        // A dimension of 256 is written as 0, the only way the byte can say it.
        const auto dimension = static_cast<std::uint32_t>(image.size % 256);
        appendLittleEndian(out, dimension, 1); // width
        appendLittleEndian(out, dimension, 1); // height
        appendLittleEndian(out, 0, 1);         // no palette
        appendLittleEndian(out, 0, 1);         // reserved
        appendLittleEndian(out, 1, 2);         // colour planes
        appendLittleEndian(out, 32, 2);        // bits per pixel
        appendLittleEndian(out, static_cast<std::uint32_t>(image.pngBytes.size()), 4);
        appendLittleEndian(out, static_cast<std::uint32_t>(offset), 4);
        offset += image.pngBytes.size();
    }
    for (const IconImage& image : images)
        out += image.pngBytes;
    return out;
}

} // namespace tambrel
