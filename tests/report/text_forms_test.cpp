// The small text forms documents rely on: moments in ISO 8601 both ways, and the upper-casing
// by which paths from different servers are matched.
#include "report/modification_time.h"
#include "report/name_key.h"

#include <gtest/gtest.h>

namespace tambrel::report {
namespace {

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

} // namespace
} // namespace tambrel::report
