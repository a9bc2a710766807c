// The small text forms documents and reports rely on: moments in ISO 8601 both ways, the
// upper-casing by which paths from different servers are matched, and tables that line up on a
// terminal whatever script their file names are in.
#include "platform/text/display_width.h"
#include "report/comparison.h"
#include "report/comparison_output.h"
#include "report/modification_time.h"
#include "report/name_key.h"
#include "report/text_table.h"
#include "tests/report/report_fixtures.h"

#include <gtest/gtest.h>

namespace tambrel::report {
namespace {

using namespace testing;

TEST(ModificationTime, MomentsReadAndWrittenInAnyOffset) {
    struct Case {
        const char* text;
        std::optional<ModificationTime> moment;
        const char* written; // nullptr: as read
    };
    const Case cases[] = {
        {"2026-12-08T11:00:00+01:00", ModificationTime{1796724000, 60}, nullptr},
        {"2026-12-08T05:00:00-05:00", ModificationTime{1796724000, -300}, nullptr},
        {"2026-12-08T10:00:00Z", ModificationTime{1796724000, 0}, "2026-12-08T10:00:00+00:00"},
        {"2026-12-08T10:00:00.75+00:00", ModificationTime{1796724000, 0},
         "2026-12-08T10:00:00+00:00"},
        {"1969-12-31T23:59:59+00:00", ModificationTime{-1, 0}, nullptr},
        {"2024-02-29T00:00:00+05:45", ModificationTime{1709144100, 345}, nullptr},
        {"2026-13-01T00:00:00Z", std::nullopt, nullptr},
        {"2026-12-08 10:00:00Z", std::nullopt, nullptr},
        {"2026-12-08T10:00:00", std::nullopt, nullptr},
        {"2026-12-08T10:00:00+1:00", std::nullopt, nullptr},
        {"8.12.2026", std::nullopt, nullptr},
    };
    for (const Case& entry : cases) {
        SCOPED_TRACE(entry.text);
        const std::optional<ModificationTime> moment = parseIsoTime(entry.text);
        EXPECT_EQ(moment, entry.moment);
        if (!moment)
            continue;
        std::string written;
        appendIsoTime(written, *moment);
        EXPECT_EQ(written, entry.written ? entry.written : entry.text);
    }
}

TEST(NameKey, PathsAreUpperCasedAsWindowsComparesNames) {
    const std::pair<const char*, const char*> cases[] = {
        {"c:\\corvel\\a.wav", "C:\\CORVEL\\A.WAV"},
        {"grüße_été_ÿ.wav", "GRÜßE_ÉTÉ_Ÿ.WAV"}, // sharp s has no capital in the table
        {"łódź_ıi", "ŁÓDŹ_ıI"},                 // the dotless i keeps its own identity
        {"привет_αβς", "ПРИВЕТ_ΑΒΣ"},           // Cyrillic, Greek with its final sigma
        {"ａｂｃ", "ＡＢＣ"},                   // full-width Latin
        {"raw\xE9\xFF", "RAW\xE9\xFF"},         // bytes that are not UTF-8 stay
    };
    for (const auto& [path, upper] : cases) {
        SCOPED_TRACE(path);
        EXPECT_EQ(windowsUpcase(path), upper);
        EXPECT_EQ(rowKey(ListKind::Prompts, path), rowKey(ListKind::Prompts, upper));
        EXPECT_NE(rowKey(ListKind::Prompts, path), rowKey(ListKind::Greetings, path));
    }
}

// The terminal column at which each line's `field`-th cell starts (cells two blanks apart).
std::vector<std::size_t> cellStarts(const std::string& text, std::size_t field) {
    std::vector<std::size_t> starts;
    std::size_t lineStart = 0;
    for (std::size_t end; (end = text.find('\n', lineStart)) != std::string::npos;
         lineStart = end + 1) {
        const std::string line = text.substr(lineStart, end - lineStart);
        std::size_t at = 0;
        for (std::size_t i = 0; i < field && at != std::string::npos; ++i)
            at = line.find_first_not_of(' ', line.find("  ", at));
        if (at != std::string::npos)
            starts.push_back(platform::displayWidth(line.substr(0, at)));
    }
    return starts;
}

TEST(TextTable, ColumnsLineUpByTheWidthATerminalGivesEachText) {
    const std::vector<std::vector<std::string_view>> cells = {
        {"C:\\Corvel\\a.wav", "1"},
        {"C:\\Corvel\\挨拶\\あいさつ.wav", "2"},      // wide: two columns a character
        {"C:\\Corvel\\Gru\xCC\x88\xC3\x9F.wav", "3"}, // a combining mark takes none
        {"C:\\Corvel\\ｱｲｻﾂ.wav", "4"},                // half-width kana: one each
    };
    TextTable table({"FILE", "N"});
    for (const auto& line : cells)
        table.measure(line);
    std::string text;
    table.appendHeadings(text);
    for (const auto& line : cells)
        table.appendLine(text, line);
    const std::vector<std::size_t> starts = cellStarts(text, 1);
    ASSERT_EQ(starts.size(), cells.size() + 1) << text;
    for (std::size_t start : starts)
        EXPECT_EQ(start, platform::displayWidth(cells[1][0]) + 2) << text;

    // A comparison's table, where a Japanese file name changed beside an ASCII one.
    const Comparison result =
        compareDocuments(inventory({greeting("あいさつ.wav", "PCM 16", 1, 16000),
                                    greeting("a.wav", "PCM 16", 1, 16000)}),
                         inventory({greeting("あいさつ.wav"), greeting("a.wav")}));
    StringSink written;
    ASSERT_TRUE(writeComparison(result, ReportFormat::Table, written));
    const std::vector<std::size_t> factStarts = cellStarts(written.text(), 3);
    ASSERT_GE(factStarts.size(), 5u) << written.text();
    for (std::size_t start : factStarts)
        EXPECT_EQ(start, factStarts.front()) << written.text();
}

} // namespace
} // namespace tambrel::report
