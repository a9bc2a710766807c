#include "common/csv_field.h"

#include <gtest/gtest.h>
#include <string>

namespace tambrel {
namespace {

struct FieldCase {
    const char* name;
    std::string text;
    std::string field;
};

class CsvFieldCases : public ::testing::TestWithParam<FieldCase> {};

TEST_P(CsvFieldCases, BecomesTheField) {
    EXPECT_EQ(csvField(GetParam().text), GetParam().field);
    EXPECT_EQ(needsCsvQuoting(GetParam().text), GetParam().field != GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, CsvFieldCases,
    ::testing::Values(
        FieldCase{"Empty", "", ""}, FieldCase{"SignPositionBlankKept", " 8000", " 8000"},
        FieldCase{"PlainPath", "C:\\Corvel\\Stream Files\\a.wav",
                  "C:\\Corvel\\Stream Files\\a.wav"},
        FieldCase{"Comma", "Smith, John.wav", "\"Smith, John.wav\""},
        FieldCase{"QuoteDoubled", "say \"hi\".wav", "\"say \"\"hi\"\".wav\""},
        FieldCase{"LineFeed", "two\nlines", "\"two\nlines\""},
        FieldCase{"CarriageReturn", "a\rb", "\"a\rb\""},
        // Bytes one above and one below each special byte must not be mistaken for it.
        FieldCase{"NeighboursOfSpecialBytes", "+-!#\x0b\x0c\x0e\x09 long enough",
                  "+-!#\x0b\x0c\x0e\x09 long enough"},
        FieldCase{"HighBytes", "gr\xE9\xFF\x80\xAC\xA2ting.wav", "gr\xE9\xFF\x80\xAC\xA2ting.wav"},
        FieldCase{"NulByte", std::string("a\0b", 3), std::string("a\0b", 3)}),
    [](const auto& info) { return std::string(info.param.name); });

// The check runs eight bytes at a time with a tail: a special byte must be found at every
// position of every word and of the tail.
TEST(CsvFieldQuoting, FindsASpecialByteAtEveryPosition) {
    for (char special : {',', '"', '\r', '\n'}) {
        for (std::size_t length = 1; length <= 24; ++length) {
            for (std::size_t at = 0; at < length; ++at) {
                std::string text(length, 'x');
                text[at] = special;
                EXPECT_TRUE(needsCsvQuoting(text))
                    << "byte " << int(special) << " at " << at << " of " << length;
            }
            EXPECT_FALSE(needsCsvQuoting(std::string(length, 'x'))) << length;
        }
    }
}

} // namespace
} // namespace tambrel
