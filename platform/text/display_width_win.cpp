#include "platform/text/display_width.h"

#include <algorithm>
#include <array>

namespace tambrel::platform {
namespace {

struct Range {
    char32_t first;
    char32_t last;
};

// Without a Unicode library on this side, the ranges of the Unicode character database that
// text of this program's languages and file names can meet: combining marks and zero-width
// formatting characters, and East Asian wide (W) and fullwidth (F) blocks.
constexpr std::array<Range, 9> kZeroWidth = {{
    {0x0300, 0x036F},
    {0x0483, 0x0489},
    {0x0591, 0x05BD},
    {0x200B, 0x200F},
    {0x202A, 0x202E},
    {0x2060, 0x2064},
    {0x20D0, 0x20FF},
    {0xFE00, 0xFE0F},
    {0xFEFF, 0xFEFF},
}};
constexpr std::array<Range, 18> kWide = {{
    {0x1100, 0x115F},
    {0x2E80, 0x303E},
    {0x3041, 0x3096},
    {0x309B, 0x33FF},
    {0x3400, 0x4DBF},
    {0x4E00, 0x9FFF},
    {0xA000, 0xA4CF},
    {0xA960, 0xA97F},
    {0xAC00, 0xD7A3},
    {0xF900, 0xFAFF},
    {0xFE10, 0xFE19},
    {0xFE30, 0xFE6F},
    {0xFF01, 0xFF60},
    {0xFFE0, 0xFFE6},
    {0x1F300, 0x1F64F},
    {0x1F900, 0x1F9FF},
    {0x20000, 0x2FFFD},
    {0x30000, 0x3FFFD},
}};

template <std::size_t N> bool within(const std::array<Range, N>& ranges, char32_t codePoint) {
    return std::any_of(ranges.begin(), ranges.end(), [codePoint](const Range& range) {
        return codePoint >= range.first && codePoint <= range.last;
    });
}

} // namespace

int columnsOf(char32_t codePoint) {
    // The kana voicing marks 3099 and 309A combine with the kana before them.
    if (within(kZeroWidth, codePoint) || codePoint == 0x3099 || codePoint == 0x309A)
        return 0;
    return within(kWide, codePoint) ? 2 : 1;
}

} // namespace tambrel::platform
