// Checks the rows of an inventory against rules: which files break which rule, with the value
// they have, and how many files break each rule. Rows are checked as they come, so a document
// need not be held whole.
#pragma once

#include "report/document_reader.h"
#include "report/rules.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tambrel::report {

struct RuleBreak {
    ListKind list = ListKind::Greetings;
    std::string file;
    std::size_t rule = 0; // index into the rule set
    std::string found; // the file's value of the rule's fact: "16000", "pcm", "none", "truncated"
};

struct CheckResult {
    std::vector<std::string> rules;      // each rule's text
    std::vector<std::uint64_t> breaking; // files breaking each rule
    std::vector<RuleBreak> breaks;       // in the rows' order, a file's breaks in the rules' order
    std::uint64_t filesChecked = 0;
    std::uint64_t filesBreaking = 0;

    bool passed() const { return breaks.empty(); }
};

class RuleChecker : public RowSink {
public:
    explicit RuleChecker(const RuleSet& rules);
    void add(InventoryRow&& row) override { check(row); }
    void check(const InventoryRow& row);
    const CheckResult& result() const { return result_; }
    CheckResult take() { return std::move(result_); }

private:
    const RuleSet& rules_;
    CheckResult result_;
};

CheckResult checkRows(const RuleSet& rules, std::span<const InventoryRow> rows);

} // namespace tambrel::report
