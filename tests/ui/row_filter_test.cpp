// The grid's filter over typed rows: words, letter case, text beyond ASCII, the codec and rate
// cells, problem files and totals groups, and when a refilter may look at the shown rows alone.
#include "common/ascii_case.h"
#include "ui/row_filter.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace tambrel;

namespace {

struct Row {
    std::string fileName;
    std::string codec;
    std::string rate;
    FileRowRecord record;
};

FileRowRecord record(HeaderKind kind, std::int16_t tag, std::int32_t rate,
                     WavProblem problem = WavProblem::None) {
    FileFacts facts;
    facts.header = {kind, tag, rate};
    facts.wav.problem = problem;
    facts.hasStatus = true;
    facts.size = 1000;
    return FileRowRecord::fromFacts(facts);
}

const std::vector<Row>& rows() {
    static const std::vector<Row> all = {
        {"C:\\Greetings\\Mailbox1002\\Greeting.wav", "PCM", " 8000",
         record(HeaderKind::Wave, 1, 8000)},
        {"C:\\Greetings\\Mailbox1003\\Name.WAV", "GSM 6.10", " 8000",
         record(HeaderKind::Wave, 0x31, 8000)},
        {"C:\\Prompts\\ÄRGER\\Hinweis.wav", "PCM", " 16000", record(HeaderKind::Wave, 1, 16000)},
        {"C:\\Prompts\\案内\\Ｇｒｅｅｔ.wav", "G.711 mu-law", " 8000",
         record(HeaderKind::Wave, 7, 8000, WavProblem::Truncated)},
        {"C:\\Prompts\\broken.wav", "Not a WAV file", " 0",
         record(HeaderKind::NotWave, 0, 0, WavProblem::NotRiff)},
        {"C:\\Prompts\\typed-by-hand.wav", "PCM", " 8000", FileRowRecord{}},
    };
    return all;
}

// A stand-in for the window's full folding: enough letters beyond ASCII for the cases below.
std::string foldForTest(std::string_view text) {
    std::string folded;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text.substr(i, 2) == "Ä") {
            folded += "ä";
            ++i;
        } else if (text.substr(i, 3) == "Ｇ") { // full-width G
            folded += "ｇ";
            i += 2;
        } else {
            folded += static_cast<char>(asciiLower(text[i]));
        }
    }
    return folded;
}

std::vector<std::size_t> shown(const RowFilter& filter, UnicodeCaseFold fold = foldForTest) {
    const RowMatcher matcher(filter, fold);
    std::vector<std::size_t> indexes;
    for (std::size_t i = 0; i < rows().size(); ++i) {
        const Row& row = rows()[i];
        if (matcher.matches(row.record, row.fileName, row.codec, row.rate))
            indexes.push_back(i);
    }
    return indexes;
}

RowGroup codecRate(std::int16_t tag, std::int32_t rate) {
    RowGroup group;
    group.header = HeaderKind::Wave;
    group.formatTag = tag;
    group.sampleRate = rate;
    return group;
}

RowGroup problem(WavProblem problem) {
    RowGroup group;
    group.kind = RowGroup::Kind::Problem;
    group.problem = problem;
    return group;
}

} // namespace

TEST(RowFilter, ShowsTheRowsEachFilterSelects) {
    const RowGroup notWave{RowGroup::Kind::CodecAndRate, HeaderKind::NotWave, 0, 0,
                           WavProblem::None};
    const struct {
        const char* what;
        RowFilter filter;
        std::vector<std::size_t> expected;
    } cases[] = {
        {"no condition", {}, {0, 1, 2, 3, 4, 5}},
        {"blanks only", {"  \t ", false, {}}, {0, 1, 2, 3, 4, 5}},
        {"a word of the file name", {"mailbox", false, {}}, {0, 1}},
        {"letter case ignored", {"GREETING.WAV", false, {}}, {0}},
        {"every word must occur", {"mailbox 1003", false, {}}, {1}},
        {"words in different cells", {"gsm 1003 8000", false, {}}, {1}},
        {"words in any order", {"8000 gsm", false, {}}, {1}},
        {"the codec text", {"pcm", false, {}}, {0, 2, 5}},
        {"the rate cell", {"16000", false, {}}, {2}},
        {"a word no row holds", {"mailbox 9999", false, {}}, {}},
        {"beyond ASCII, same case", {"案内", false, {}}, {3}},
        {"beyond ASCII, case folded", {"ärger", false, {}}, {2}},
        {"full-width letters folded", {"ｇｒｅｅｔ", false, {}}, {3}},
        {"ideographic space separates", {"案内\xE3\x80\x80mu-law", false, {}}, {3}},
        {"problems only", {"", true, {}}, {3, 4}},
        {"problems only and a word", {"broken", true, {}}, {4}},
        {"one codec and rate", {"", false, {codecRate(1, 8000)}}, {0}},
        {"either of two groups", {"", false, {codecRate(1, 8000), codecRate(1, 16000)}}, {0, 2}},
        {"not a WAV file", {"", false, {notWave}}, {4}},
        {"a problem group", {"", false, {problem(WavProblem::Truncated)}}, {3}},
        {"a group and a word", {"hinweis", false, {codecRate(1, 16000), codecRate(1, 8000)}}, {2}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(shown(c.filter), c.expected) << c.what;
}

TEST(RowFilter, WithoutUnicodeFoldingOnlyAsciiLettersFold) {
    EXPECT_EQ(shown({"ärger", false, {}}, nullptr), std::vector<std::size_t>{});
    EXPECT_EQ(shown({"ÄRGER hinweis", false, {}}, nullptr), std::vector<std::size_t>{2});
}

TEST(RowFilter, GroupsComeFromTheRecord) {
    const FileRowRecord wave = record(HeaderKind::Wave, 0x31, 8000, WavProblem::NoData);
    EXPECT_EQ(codecAndRateGroup(wave), codecRate(0x31, 8000));
    EXPECT_EQ(problemGroup(wave), problem(WavProblem::NoData));
    // Every file that is no WAV file has the one Codec cell, whatever its tag.
    const auto notWave = codecAndRateGroup(record(HeaderKind::NotWave, 5, 0));
    ASSERT_TRUE(notWave);
    EXPECT_EQ(notWave->formatTag, 0);
    EXPECT_EQ(notWave->header, HeaderKind::NotWave);
    EXPECT_FALSE(problemGroup(record(HeaderKind::Wave, 1, 8000)));
    EXPECT_FALSE(codecAndRateGroup(FileRowRecord{}));
}

TEST(RowFilter, KnowsWhenTheShownRowsSuffice) {
    const struct {
        RowFilter narrower;
        RowFilter wider;
        bool narrows;
    } cases[] = {
        {{"mailb", false, {}}, {"mail", false, {}}, true},
        {{"Mailbox 1002", false, {}}, {"mailbox", false, {}}, true},
        {{"mailbox", false, {}}, {"mailbox 1002", false, {}}, false},
        {{"mail", false, {}}, {"mailb", false, {}}, false},
        {{"mail", true, {}}, {"mail", false, {}}, true},
        {{"mail", false, {}}, {"mail", true, {}}, false},
        {{"", false, {codecRate(1, 8000)}}, {"", false, {}}, true},
        {{"", false, {}}, {"", false, {codecRate(1, 8000)}}, false},
        {{"", false, {codecRate(1, 8000)}},
         {"", false, {codecRate(1, 8000), codecRate(1, 16000)}},
         true},
        {{"", false, {codecRate(1, 16000)}}, {"", false, {codecRate(1, 8000)}}, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(narrows(c.narrower, c.wider), c.narrows)
            << "'" << c.narrower.text << "' within '" << c.wider.text << "'";
}

TEST(FileRowRecord, KeepsEveryFactOfTheRow) {
    FileFacts facts;
    facts.header = {HeaderKind::Wave, static_cast<std::int16_t>(-2), 44100};
    facts.hasStatus = true;
    facts.size = (std::int64_t{1} << 50); // beyond what the record holds
    facts.lastModified.tv_sec = -86400;
    facts.wav.setFormatTag(0xFFFE);
    facts.wav.setSubFormatTag(1);
    facts.wav.setChannels(2);
    facts.wav.setBitsPerSample(24);
    facts.wav.setByteRate(44100 * 6);
    facts.wav.setDataBytes(44100 * 6 * 3 + 3);
    facts.wav.problem = WavProblem::RiffLengthMismatch;
    const FileRowRecord kept = FileRowRecord::fromFacts(facts);
    EXPECT_TRUE(kept.typed());
    EXPECT_EQ(kept.headerKind(), HeaderKind::Wave);
    EXPECT_EQ(kept.formatTag(), -2);
    EXPECT_EQ(kept.sampleRate(), 44100);
    EXPECT_EQ(kept.size(), (std::int64_t{1} << 48) - 1);
    EXPECT_EQ(kept.modified(), -86400);
    EXPECT_EQ(kept.codecTag(), 1);
    EXPECT_EQ(kept.channels(), 2);
    EXPECT_EQ(kept.bitsPerSample(), 24);
    EXPECT_EQ(kept.durationMilliseconds(), 3000u);
    EXPECT_EQ(kept.problem(), WavProblem::RiffLengthMismatch);

    // What the file does not say stays unknown, and a vanished file has no size or date.
    FileFacts bare;
    const FileRowRecord unknown = FileRowRecord::fromFacts(bare);
    EXPECT_TRUE(unknown.typed());
    EXPECT_EQ(unknown.headerKind(), HeaderKind::NotWave);
    EXPECT_FALSE(unknown.size());
    EXPECT_FALSE(unknown.modified());
    EXPECT_FALSE(unknown.codecTag());
    EXPECT_FALSE(unknown.channels());
    EXPECT_FALSE(unknown.bitsPerSample());
    EXPECT_FALSE(unknown.durationMilliseconds());
    EXPECT_EQ(unknown.problem(), WavProblem::None);
    EXPECT_LT(unknown.sizeSortKey(), 0);
}
