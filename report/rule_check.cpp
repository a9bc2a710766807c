#include "report/rule_check.h"

#include "report/format_words.h"

#include <algorithm>

namespace tambrel::report {
namespace {

constexpr std::uint32_t kExtensibleTag = 0xFFFE;

bool allows(const Rule& rule, std::optional<std::uint32_t> value) {
    return value &&
           std::find(rule.allowed.begin(), rule.allowed.end(), *value) != rule.allowed.end();
}

std::string numberText(std::optional<std::uint32_t> value) {
    return value ? std::to_string(*value) : std::string("none");
}

// Empty when the row keeps the rule, otherwise the value that breaks it.
std::string breakOf(const Rule& rule, const InventoryRow& row) {
    switch (rule.fact) {
    case RuleFact::Format: {
        if (allows(rule, row.formatTag))
            return {};
        if (row.formatTag == kExtensibleTag && allows(rule, row.subFormatTag))
            return {};
        if (!row.formatTag)
            return "none";
        if (*row.formatTag == kExtensibleTag && row.subFormatTag)
            return formatWordOfTag(kExtensibleTag) + "/" + formatWordOfTag(*row.subFormatTag);
        return formatWordOfTag(*row.formatTag);
    }
    case RuleFact::SampleRate:
        return allows(rule, row.sampleRate) ? std::string() : numberText(row.sampleRate);
    case RuleFact::Channels:
        return allows(rule, row.channels) ? std::string() : numberText(row.channels);
    case RuleFact::BitsPerSample:
        return allows(rule, row.bitsPerSample) ? std::string() : numberText(row.bitsPerSample);
    case RuleFact::NoProblems:
        return row.problem;
    }
    return {};
}

} // namespace

RuleChecker::RuleChecker(const RuleSet& rules) : rules_(rules) {
    for (const Rule& rule : rules.rules)
        result_.rules.push_back(rule.text);
    result_.breaking.assign(rules.rules.size(), 0);
}

void RuleChecker::check(const InventoryRow& row) {
    ++result_.filesChecked;
    bool broke = false;
    for (std::size_t i = 0; i < rules_.rules.size(); ++i) {
        const Rule& rule = rules_.rules[i];
        if (std::find(rule.lists.begin(), rule.lists.end(), row.list) == rule.lists.end())
            continue;
        std::string found = breakOf(rule, row);
        if (found.empty())
            continue;
        ++result_.breaking[i];
        result_.breaks.push_back({row.list, row.file, i, std::move(found)});
        broke = true;
    }
    result_.filesBreaking += broke;
}

CheckResult checkRows(const RuleSet& rules, std::span<const InventoryRow> rows) {
    RuleChecker checker(rules);
    for (const InventoryRow& row : rows)
        checker.check(row);
    return checker.take();
}

} // namespace tambrel::report
