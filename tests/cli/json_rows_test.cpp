// The JSON text of a row must stay a valid document whatever bytes a file name holds.
#include "cli/json_rows.h"

#include <gtest/gtest.h>

namespace tambrel::testing {
namespace {

TEST(JsonRows, EscapeEveryStringSoTheDocumentParses) {
    const struct {
        const char* name;
        std::string text;
        std::string json;
    } cases[] = {
        {"plain ASCII", "C:\\Corvel\\a.wav", R"("C:\\Corvel\\a.wav")"},
        {"quote and controls", "a\"b\n\x01", R"("a\"b\n\u0001")"},
        {"valid UTF-8 kept", "gr\xc3\xbc\xc3\x9f", "\"gr\xc3\xbc\xc3\x9f\""},
        {"Latin-1 byte as a lone surrogate", "caf\xe9.wav", R"("caf\udce9.wav")"},
        {"cut sequence at the end", "x\xe2\x82", R"("x\udce2\udc82")"},
        {"overlong form", "\xc0\xaf", R"("\udcc0\udcaf")"},
        {"encoded surrogate", "\xed\xa0\x80", R"("\udced\udca0\udc80")"},
    };
    for (const auto& c : cases) {
        std::string json;
        cli::appendJsonString(json, c.text);
        EXPECT_EQ(json, c.json) << c.name;
    }
}

TEST(JsonRows, UnreadableFileHasNullCodecAndItsError) {
    FileFacts facts;
    facts.path = "C:\\Corvel\\Stream Files\\locked.wav";
    facts.readFailures.push_back({13, "Permission denied"});
    facts.wav.problem = WavProblem::Unreadable;
    facts.problemDetail = "Permission denied";
    std::string json;
    cli::appendJsonRow(json, facts);
    EXPECT_EQ(
        json,
        R"({"codec":null,"format_name":null,"format_tag":null,"file":"C:\\Corvel\\Stream Files\\locked.wav",)"
        R"("sample_rate":0,"modified":null,"size":null,"sub_format_tag":null,"channels":null,)"
        R"("bits_per_sample":null,"block_align":null,"byte_rate":null,"data_bytes":null,)"
        R"("duration_seconds":null,"problem":"unreadable",)"
        R"("problem_text":"The file cannot be read: Permission denied","error":"Permission denied"})");
}

} // namespace
} // namespace tambrel::testing
