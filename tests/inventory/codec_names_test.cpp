#include "inventory/codec_names.h"
#include "inventory/describe_file.h"

#include <gtest/gtest.h>

namespace tambrel {
namespace {

struct CodecCase {
    std::int16_t tag;
    const char* name;
};

TEST(CodecNames, EveryListedTagHasItsNameAndOthersTheNumberedFallback) {
    const CodecCase cases[] = {
        {0x0001, "PCM 16"},
        {0x0002, "Microsoft ADPCM"},
        {0x0006, "Microsoft ALaw"},
        {0x0007, "Microsoft MuLaw"},
        {0x0010, "OKI ADPCM"},
        {0x0014, "Antex G723 ADPCM"},
        {0x0017, "Dialogic OKI ADPCM"},
        {0x0031, "Microsoft GSM 6.10"},
        {0x0032, "Microsoft MSN Audio"},
        {0x0038, "NMS VBXADPCM"},
        {0x0042, "Microsoft MSG723"},
        {0x0050, "Microsoft MPEG"},
        {0x0059, "Lucent G723"},
        {0x0064, "APICOM G726"},
        {0x0083, "AT&T G729a"},
        {0x0085, "DataFusion Systems G726"},
        {0x0111, "Vivo G723"},
        {0x0123, "Digital G723"},
        {0x0133, "Spiro Labs G729"},
        {0x0134, "Spiro Labs G729a"},
        {0x0140, "Dictaphone G726ADPCM"},
        {0x0200, "Creative Labs ADPCM"},
        {0x1100, "L&H Codec"},
        // Near misses: decimal look-alikes of listed hex tags, and the tags seen on failure.
        {85, "Unknown Codec= 85"},
        {3, "Unknown Codec= 3"},
        {0, "Unknown Codec= 0"},
        {0x0135, "Unknown Codec= 309"},
        {-2, "Unknown Codec=-2"},
        {-32768, "Unknown Codec=-32768"},
        {32767, "Unknown Codec= 32767"},
    };
    for (const CodecCase& row : cases) {
        SCOPED_TRACE(row.tag);
        const std::int16_t tag = row.tag;
        EXPECT_EQ(strCodecNameFromID(tag), row.name);
        EXPECT_EQ(tag, row.tag);
    }
}

TEST(SignPositionDecimal, BlankBeforeZeroAndPositiveMinusBeforeNegative) {
    const std::pair<std::int64_t, const char*> cases[] = {
        {8000, " 8000"},
        {0, " 0"},
        {-2, "-2"},
        {1000000, " 1000000"},
        {INT64_MAX, " 9223372036854775807"},
        {INT64_MIN, "-9223372036854775808"},
    };
    for (const auto& [value, text] : cases)
        EXPECT_EQ(signPositionDecimal(value), text) << value;
}

} // namespace
} // namespace tambrel
