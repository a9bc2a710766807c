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

TEST(Rules, VerdictsOverOneInventoryOrTheMistakesPlace) {
    const InventoryDocument document = rulesInventory();
    for (const RuleCase& entry : ruleCases()) {
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
