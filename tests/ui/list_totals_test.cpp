// The totals of a list over a small table of row records: the groups and their order, files,
// bytes and shares, problem lines, rows without facts; the sort of the shown lines and their
// CSV text.
#include "export/csv_writer.h"
#include "ui/list_totals.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace tambrel;

namespace {

FileRowRecord record(HeaderKind kind, std::int16_t tag, std::int32_t rate, std::int64_t size,
                     WavProblem problem = WavProblem::None, bool hasStatus = true) {
    FileFacts facts;
    facts.header = {kind, tag, rate};
    facts.wav.problem = problem;
    facts.hasStatus = hasStatus;
    facts.size = size;
    return FileRowRecord::fromFacts(facts);
}

RowGroup codecAndRate(HeaderKind kind, std::int16_t tag, std::int32_t rate) {
    RowGroup group;
    group.header = kind;
    group.formatTag = tag;
    group.sampleRate = rate;
    return group;
}

RowGroup problemOf(WavProblem problem) {
    RowGroup group;
    group.kind = RowGroup::Kind::Problem;
    group.problem = problem;
    return group;
}

TEST(ListTotals, GroupsCountFilesAndBytesInTheOrderTheyCome) {
    const std::vector<FileRowRecord> records = {
        record(HeaderKind::Wave, 1, 8000, 100),
        record(HeaderKind::Wave, 0x31, 8000, 20),
        record(HeaderKind::Wave, 1, 16000, 300, WavProblem::Truncated),
        record(HeaderKind::Wave, 1, 8000, 400),
        record(HeaderKind::NotWave, 0, 0, 5, WavProblem::NotRiff),
        // A file that vanished before its status: counted, no bytes.
        record(HeaderKind::Wave, 0x31, 8000, 0, WavProblem::Unreadable, false),
        // Written cell by cell: in the list's count, in no group.
        FileRowRecord{},
        record(HeaderKind::Wave, 1, 16000, 1000, WavProblem::Truncated),
    };
    const ListTotals totals = computeListTotals(records);
    EXPECT_EQ(totals.files, 8);
    EXPECT_EQ(totals.bytes, 1825);

    struct Expected {
        RowGroup group;
        std::int64_t files;
        std::int64_t bytes;
        std::int32_t firstRow;
    };
    const std::vector<Expected> expected = {
        {codecAndRate(HeaderKind::Wave, 1, 8000), 2, 500, 0},
        {codecAndRate(HeaderKind::Wave, 0x31, 8000), 2, 20, 1},
        {codecAndRate(HeaderKind::Wave, 1, 16000), 2, 1300, 2},
        {codecAndRate(HeaderKind::NotWave, 0, 0), 1, 5, 4},
        {problemOf(WavProblem::Unreadable), 1, 0, 5},
        {problemOf(WavProblem::NotRiff), 1, 5, 4},
        {problemOf(WavProblem::Truncated), 2, 1300, 2},
    };
    ASSERT_EQ(totals.lines.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(totals.lines[i].group, expected[i].group);
        EXPECT_EQ(totals.lines[i].files, expected[i].files);
        EXPECT_EQ(totals.lines[i].bytes, expected[i].bytes);
        EXPECT_EQ(totals.lines[i].firstRow, expected[i].firstRow);
        // Every line's group holds exactly the rows the filter puts in it.
        std::int64_t members = 0;
        for (const FileRowRecord& row : records)
            members += isInGroup(row, totals.lines[i].group) ? 1 : 0;
        EXPECT_EQ(members, expected[i].files);
    }
    EXPECT_DOUBLE_EQ(shareOfList(totals.lines[0], totals), 0.25);
    EXPECT_DOUBLE_EQ(shareOfList(totals.lines[3], totals), 0.125);
}

TEST(ListTotals, AnEmptyListHasNoLinesAndNoShare) {
    const ListTotals totals = computeListTotals({});
    EXPECT_EQ(totals.files, 0);
    EXPECT_TRUE(totals.lines.empty());
    EXPECT_EQ(shareOfList(TotalsLine{}, totals), 0.0);
}

std::vector<TotalsRow> shownRows() {
    return {
        {"PCM", " 8000", 5, 500, 0.5, {}},
        {"GSM 6.10", " 16000", 2, 900, 0.2, {}},
        {"truncated", "", 2, 100, 0.2, {}},
        {"A-Law", " 8000", 1, 50, 0.1, {}},
    };
}

std::vector<std::string> labels(const std::vector<TotalsRow>& rows) {
    std::vector<std::string> result;
    for (const TotalsRow& row : rows)
        result.push_back(row.label);
    return result;
}

TEST(ListTotals, ShownLinesSortByEveryColumnStably) {
    struct Case {
        TotalsColumn column;
        bool descending;
        std::vector<std::string> order;
    };
    const std::vector<Case> cases = {
        {TotalsColumn::Label, false, {"A-Law", "GSM 6.10", "PCM", "truncated"}},
        // By number, not text (" 8000" > " 16000" as text); the problem line's empty rate first.
        {TotalsColumn::SampleRate, false, {"truncated", "PCM", "A-Law", "GSM 6.10"}},
        {TotalsColumn::SampleRate, true, {"GSM 6.10", "PCM", "A-Law", "truncated"}},
        // Ties keep their order either way.
        {TotalsColumn::Files, true, {"PCM", "GSM 6.10", "truncated", "A-Law"}},
        {TotalsColumn::Files, false, {"A-Law", "GSM 6.10", "truncated", "PCM"}},
        {TotalsColumn::Bytes, true, {"GSM 6.10", "PCM", "truncated", "A-Law"}},
        {TotalsColumn::Share, false, {"A-Law", "GSM 6.10", "truncated", "PCM"}},
    };
    for (const Case& item : cases) {
        std::vector<TotalsRow> rows = shownRows();
        sortTotalsRows(rows, item.column, item.descending);
        EXPECT_EQ(labels(rows), item.order)
            << static_cast<int>(item.column) << (item.descending ? " descending" : "");
    }
}

TEST(ListTotals, CsvTextAsTheLineWriterWritesIt) {
    const std::vector<TotalsRow> rows = {
        {"PCM", " 8000", 5, 500, 0.5, {}},
        {"Codec, \"quoted\"", "", 1, 7, 1.0 / 3.0, {}},
    };
    std::string text;
    appendTotalsCsv(text, "Greetings", rows);
    std::string expected;
    appendCsvLine(expected,
                  std::vector<std::string_view>{"Greetings", "PCM", " 8000", "5", "500", "50.0"});
    appendCsvLine(expected, std::vector<std::string_view>{"Greetings", "Codec, \"quoted\"", "", "1",
                                                          "7", "33.3"});
    EXPECT_EQ(text, expected);
}

} // namespace
