// Rules: one table of rule texts with the verdicts they give over one inventory, or the place
// and words of their mistake.
#include "report/rule_check.h"
#include "report/rule_check_output.h"
#include "report/rules.h"
#include "tests/report/report_fixtures.h"

#include <gtest/gtest.h>

namespace tambrel::report {
namespace {

using namespace testing;

struct RuleCase {
    const char* rules;
    // Each break as "file: rule = found", in the rows' order; or the failure's text.
    std::vector<std::string> breaks;
    const char* failure = nullptr;
};

TEST(Rules, VerdictsOverOneInventoryOrTheMistakesPlace) {
    InventoryRow extensibleMulaw = prompt("ext.wav", "Unknown Codec=-2", 0xFFFE, 8000);
    extensibleMulaw.subFormatTag = 7;
    InventoryRow stereo = prompt("stereo.wav", "PCM 16", 1, 8000);
    stereo.channels = 2;
    InventoryRow unreadable;
    unreadable.list = ListKind::Greetings;
    unreadable.file = "locked.wav";
    unreadable.problem = "unreadable";
    const InventoryDocument document =
        inventory({greeting("g.wav"), greeting("gsm.wav", "GSM 6.10", 0x31, 8000),
                   greeting("wide.wav", "PCM 16", 1, 16000), extensibleMulaw, stereo,
                   withProblem(prompt("cut.wav"), "truncated"), unreadable});
    const std::vector<RuleCase> cases = {
        {"prompts: format=mulaw rate=8000 channels=1",
         {"stereo.wav: prompts: format=mulaw = pcm", "stereo.wav: prompts: channels=1 = 2"}},
        {"greetings: format=mulaw,gsm610 rate=8000",
         {"wide.wav: greetings: format=mulaw,gsm610 = pcm",
          "wide.wav: greetings: rate=8000 = 16000",
          "locked.wav: greetings: format=mulaw,gsm610 = none",
          "locked.wav: greetings: rate=8000 = none"}},
        {"  ALL : no-problems  # damaged files\n",
         {"cut.wav: all: no-problems = truncated", "locked.wav: all: no-problems = unreadable"}},
        {"prompts: format = 7, 0x0001; ; greetings,prompts: bits=8,16\nprompts:rate=8000",
         {"locked.wav: greetings,prompts: bits=8,16 = none"}},
        {"greetings: rate=8000,16000 channels=1\n",
         {"locked.wav: greetings: rate=8000,16000 = none",
          "locked.wav: greetings: channels=1 = none"}},
        {"", {}, "1:1: no rules"},
        {"prompts format=mulaw", {}, "1:9: expected \":\" after the list"},
        {"prompts: rat=8000", {}, "1:10: unknown fact \"rat\""},
        {"prompts: format=mu-law",
         {},
         "1:17: unknown format \"mu-law\": expected a tag number or one of pcm"},
        {"prompts: rate=8k", {}, "1:15: \"8k\" is not a number"},
        {"prompts: rate=", {}, "1:15: expected a value after \"rate=\""},
        {"prompts: rate=99999999999", {}, "1:15: \"99999999999\" is not a number"},
        {"voices: no-problems", {}, "1:1: unknown list \"voices\""},
        {"prompts:", {}, "1:9: expected a condition"},
        {"prompts: rate=8000\ngreetings: rate=8000 !", {}, "2:22: expected a condition, not \"!\""},
    };
    for (const RuleCase& entry : cases) {
        SCOPED_TRACE(entry.rules);
        Result<RuleSet> rules = parseRules(entry.rules, "--expect");
        if (entry.failure) {
            ASSERT_FALSE(rules);
            EXPECT_EQ(rules.failure().code, kMalformedRules);
            EXPECT_EQ(rules.failure().description.find(std::string("--expect:") + entry.failure),
                      0u)
                << rules.failure().description;
            continue;
        }
        ASSERT_TRUE(rules) << rules.failure().description;
        const CheckResult result = checkRows(*rules, document.rows);
        std::vector<std::string> breaks;
        for (const RuleBreak& entry : result.breaks)
            breaks.push_back(entry.file.substr(entry.file.rfind('\\') + 1) + ": " +
                             result.rules[entry.rule] + " = " + entry.found);
        EXPECT_EQ(breaks, entry.breaks);
        EXPECT_EQ(result.passed(), entry.breaks.empty());
        EXPECT_EQ(result.filesChecked, document.rows.size());
    }
}

TEST(Rules, CountsPerRuleAreWrittenWithTheBreaks) {
    Result<RuleSet> rules = parseRules("prompts: rate=8000; all: no-problems", "rules.txt");
    ASSERT_TRUE(rules);
    const CheckResult result =
        checkRows(*rules, inventory({prompt("a.wav", "PCM 16", 1, 16000),
                                     withProblem(prompt("b.wav", "PCM 16", 1, 16000), "no_data"),
                                     greeting("c.wav")})
                              .rows);
    EXPECT_EQ(result.breaking, (std::vector<std::uint64_t>{2, 1}));
    EXPECT_EQ(result.filesBreaking, 2u);
    StringSink table, json;
    ASSERT_TRUE(writeCheck(result, ReportFormat::Table, table));
    ASSERT_TRUE(writeCheck(result, ReportFormat::Json, json));
    EXPECT_EQ(table.text(), "LIST     FILE                     RULE                FOUND\n"
                            "prompts  C:\\Corvel\\Prompts\\a.wav  prompts: rate=8000  16000\n"
                            "prompts  C:\\Corvel\\Prompts\\b.wav  prompts: rate=8000  16000\n"
                            "prompts  C:\\Corvel\\Prompts\\b.wav  all: no-problems    no_data\n"
                            "\n"
                            "RULE                FILES BREAKING IT\n"
                            "prompts: rate=8000  2\n"
                            "all: no-problems    1\n"
                            "2 of 3 files break a rule\n");
    EXPECT_TRUE(json.text().starts_with(
        "{\"passed\":false,\"files_checked\":3,\"files_breaking\":2,\"rules\":[{\"rule\":"
        "\"prompts: rate=8000\",\"files\":2},{\"rule\":\"all: no-problems\",\"files\":1}],"))
        << json.text();
}

} // namespace
} // namespace tambrel::report
