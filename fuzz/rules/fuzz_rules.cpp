// The rules parser over arbitrary text: it fails with a place inside the text, or gives rules
// whose own texts, parsed again, are the same rules; checking rows by them stays in bounds.
#include "report/rule_check.h"
#include "report/rules.h"
#include "tests/report/report_fixtures.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tambrel::report;
    static const InventoryDocument document = testing::rulesInventory();
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    tambrel::Result<RuleSet> rules = parseRules(text, "fuzz");
    if (!rules) {
        if (rules.failure().code != kMalformedRules)
            std::abort();
        return 0;
    }
    for (const Rule& rule : rules->rules) {
        if (rule.place.offset > size)
            std::abort();
        tambrel::Result<RuleSet> again = parseRules(rule.text, "again");
        if (!again || again->rules.size() != 1 || again->rules[0].fact != rule.fact ||
            again->rules[0].allowed != rule.allowed || again->rules[0].lists != rule.lists)
            std::abort();
    }
    const CheckResult result = checkRows(*rules, document.rows);
    for (const RuleBreak& entry : result.breaks)
        if (entry.rule >= rules->rules.size())
            std::abort();
    return 0;
}
