// Two inventories compared: one table of earlier and later rows with what must come out, then
// the written forms of one comparison.
#include "report/comparison.h"
#include "report/comparison_output.h"
#include "tests/report/report_fixtures.h"

#include <gtest/gtest.h>

namespace tambrel::report {
namespace {

using namespace testing;

InventoryRow touched(InventoryRow row) {
    row.modified->utcSeconds += 3600;
    return row;
}

InventoryRow recorded(InventoryRow row, std::string codec, std::uint32_t tag, std::uint32_t rate) {
    row.codec = std::move(codec);
    row.formatTag = tag;
    row.sampleRate = rate;
    return row;
}

struct ComparisonCase {
    const char* what;
    std::vector<InventoryRow> earlier;
    std::vector<InventoryRow> later;
    std::vector<std::string> added, removed;
    std::vector<std::pair<std::string, int>> changed; // file, facts
};

std::vector<std::string> filesOf(const std::vector<InventoryRow>& rows) {
    std::vector<std::string> files;
    for (const InventoryRow& row : rows)
        files.push_back(row.file.substr(row.file.rfind('\\') + 1));
    return files;
}

TEST(Comparison, FilesAddedRemovedAndChangedAreFoundByListAndPath) {
    InventoryRow otherZone = greeting("z.wav");
    otherZone.modified = ModificationTime{kMonday, -300}; // the same moment written in New York
    InventoryRow unreadable = greeting("u.wav");
    unreadable.codec.reset();
    unreadable.formatTag.reset();
    unreadable.modified.reset();
    const std::vector<ComparisonCase> cases = {
        {"same rows in another order",
         {greeting("a.wav"), greeting("b.wav"), prompt("p.wav")},
         {prompt("p.wav"), greeting("b.wav"), greeting("a.wav")},
         {},
         {},
         {}},
        {"letter case ignored as Windows does",
         {greeting("Grüße.WAV"), greeting("\xC3\xA9t\xC3\xA9.wav")},
         {greeting("GRÜSSE.wav"), greeting("GRÜßE.wav"), greeting("\xC3\x89T\xC3\x89.WAV")},
         {"GRÜSSE.wav"},
         {},
         {}},
        {"one added, one removed, one recorded again, one touched",
         {greeting("keep.wav"), greeting("gone.wav"), greeting("again.wav"), prompt("touch.wav")},
         {greeting("keep.wav"), greeting("new.wav"),
          recorded(greeting("again.wav"), "GSM 6.10", 0x31, 8000), touched(prompt("touch.wav"))},
         {"new.wav"},
         {"gone.wav"},
         {{"again.wav", kCodecChanged | kFormatTagChanged}, {"touch.wav", kModifiedChanged}}},
        {"a moment is a moment in any time zone", {greeting("z.wav")}, {otherZone}, {}, {}, {}},
        {"the same path in the other list is another file",
         {greeting("x.wav")},
         {waveRow(ListKind::Prompts, "C:\\Corvel\\Greetings\\x.wav", "CCITT u-Law", 7, 8000,
                  16058)},
         {"x.wav"},
         {"x.wav"},
         {}},
        {"rate and size",
         {greeting("r.wav")},
         {recorded(greeting("r.wav", "CCITT u-Law", 7, 8000, 9000), "CCITT u-Law", 7, 16000)},
         {},
         {},
         {{"r.wav", kSampleRateChanged | kSizeChanged}}},
        {"a file that became unreadable",
         {greeting("u.wav")},
         {unreadable},
         {},
         {},
         {{"u.wav", kCodecChanged | kFormatTagChanged | kModifiedChanged}}},
        {"names differing only in case pair by exact name first",
         {greeting("d.wav"), greeting("D.wav", "PCM 16", 1)},
         {greeting("D.wav", "PCM 16", 1), greeting("d.wav")},
         {},
         {},
         {}},
    };
    for (const ComparisonCase& entry : cases) {
        SCOPED_TRACE(entry.what);
        const Comparison result =
            compareDocuments(inventory(entry.earlier), inventory(entry.later, "CORVEL02"));
        EXPECT_EQ(filesOf(result.added), entry.added);
        EXPECT_EQ(filesOf(result.removed), entry.removed);
        std::vector<std::pair<std::string, int>> changed;
        for (const ChangedRow& row : result.changed)
            changed.emplace_back(filesOf({row.after})[0], row.facts);
        EXPECT_EQ(changed, entry.changed);
        EXPECT_EQ(result.differs(),
                  !entry.added.empty() || !entry.removed.empty() || !entry.changed.empty());
    }
}

TEST(Comparison, OnlyFactsBothSidesHoldAreCompared) {
    // The window's export has no format tag and a regional date: against a document, only its
    // codec text, rate and size count; a list the later document lacks is not "all removed".
    InventoryDocument exported = inventory({greeting("a.wav"), prompt("p.wav")});
    exported.form = DocumentForm::WindowExport;
    exported.header.lists = {ListKind::Greetings};
    for (InventoryRow& row : exported.rows) {
        row.formatTag.reset();
        row.modified.reset();
        row.modifiedText = "12/8/2026";
    }
    exported.rows.pop_back();
    const Comparison result =
        compareDocuments(exported, inventory({touched(greeting("a.wav")), prompt("p.wav")}));
    EXPECT_FALSE(result.differs());
    EXPECT_EQ(result.lists, std::vector<ListKind>{ListKind::Greetings});
}

TEST(Comparison, WrittenFormsNameEachFileByListAndFile) {
    const Comparison result = compareDocuments(
        inventory({greeting("old.wav"), greeting("again.wav", "PCM 16", 1, 16000)}),
        inventory({greeting("again.wav"), prompt("new.wav")}, "CORVEL02"));
    StringSink table, json, lines, csv;
    ASSERT_TRUE(writeComparison(result, ReportFormat::Table, table));
    ASSERT_TRUE(writeComparison(result, ReportFormat::Json, json));
    ASSERT_TRUE(writeComparison(result, ReportFormat::JsonLines, lines));
    ASSERT_TRUE(writeComparison(result, ReportFormat::Csv, csv));
    EXPECT_EQ(table.text(),
              "CHANGE   LIST       FILE                           FACT         BEFORE  AFTER\n"
              "added    prompts    C:\\Corvel\\Prompts\\new.wav\n"
              "removed  greetings  C:\\Corvel\\Greetings\\old.wav\n"
              "changed  greetings  C:\\Corvel\\Greetings\\again.wav  codec        PCM 16  "
              "CCITT u-Law\n"
              "changed  greetings  C:\\Corvel\\Greetings\\again.wav  format_tag   1       7\n"
              "changed  greetings  C:\\Corvel\\Greetings\\again.wav  sample_rate  16000   8000\n"
              "1 added, 1 removed, 1 changed\n");
    EXPECT_NE(
        json.text().find("\"changed\":[\n{\"list\":\"greetings\",\"file\":\"C:\\\\Corvel\\\\"
                         "Greetings\\\\again.wav\",\"changes\":{\"codec\":{\"before\":\"PCM "
                         "16\",\"after\":\"CCITT u-Law\"},\"format_tag\":{\"before\":1,"
                         "\"after\":7},\"sample_rate\":{\"before\":16000,\"after\":8000}}}]}"),
        std::string::npos)
        << json.text();
    // Each form is well-formed JSON that the document reader's parser takes: the JSON Lines one
    // line by line.
    EXPECT_TRUE(json.text().starts_with("{\"earlier\":{\"name\":\"CORVEL01.json\""));
    EXPECT_EQ(std::count(lines.text().begin(), lines.text().end(), '\n'), 3);
    EXPECT_TRUE(lines.text().starts_with("{\"change\":\"added\",\"list\":\"prompts\",\"file\":"));
    EXPECT_TRUE(csv.text().starts_with("Change,List,File,Fact,Before,After\r\nadded,prompts,"));
}

} // namespace
} // namespace tambrel::report
