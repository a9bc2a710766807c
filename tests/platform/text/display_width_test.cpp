// The columns a text takes on a terminal, the same on both sides (the Unicode library here, a
// table of ranges on Windows): what the command-line tool's summary aligns its columns by.
#include "platform/text/display_width.h"

#include <gtest/gtest.h>

namespace tambrel::platform {
namespace {

struct WidthCase {
    const char* name;
    std::string_view text;
    std::size_t columns;
};

const WidthCase kWidths[] = {
    {"Empty", "", 0},
    {"Ascii", "PCM 16", 6},
    {"GermanUmlauts", "Dateigröße", 10},
    {"Katakana", "ファイル", 8},
    {"KatakanaWithBlank", "ファイル サイズ", 15},
    {"Kanji", "不明なコーデック=", 17},
    {"HangulSyllables", "코덱", 4},
    {"FullwidthDigits", "１２", 4},
    {"HalfwidthKatakana", "ｶﾅ", 2},
    {"CombiningAcute", "e\xCC\x81", 1},
    {"ZeroWidthSpace",
     "a\xE2\x80\x8B"
     "b",
     2},
    {"MalformedBytesOneEach", "\xFF\xC3", 2},
    {"TruncatedSequence", "a\xE3\x83", 3},
};

TEST(DisplayWidth, CountsEachCharacterByItsColumns) {
    for (const WidthCase& row : kWidths)
        EXPECT_EQ(displayWidth(row.text), row.columns) << row.name;
}

} // namespace
} // namespace tambrel::platform
