#include "ui/list_totals.h"

#include "export/csv_writer.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>

namespace tambrel {
namespace {

// A codec and rate group as one number: the header kind, the format tag and the rate.
std::uint64_t codecAndRateKey(const RowGroup& group) {
    return (std::uint64_t{group.header == HeaderKind::Wave} << 48) |
           (std::uint64_t{static_cast<std::uint16_t>(group.formatTag)} << 32) |
           static_cast<std::uint32_t>(group.sampleRate);
}

constexpr std::size_t kProblems = static_cast<std::size_t>(WavProblem::RiffLengthMismatch) + 1;

std::int64_t rateNumber(std::string_view text) {
    std::int64_t value = -1;
    const std::size_t start = text.find_first_not_of(' ');
    if (start != std::string_view::npos)
        std::from_chars(text.data() + start, text.data() + text.size(), value);
    return value;
}

} // namespace

ListTotals computeListTotals(std::span<const FileRowRecord> records) {
    ListTotals totals;
    std::vector<std::uint64_t> keys;
    std::array<TotalsLine, kProblems> problems{};
    // Rows of one group tend to come together: the last group found is tried first.
    std::size_t lastLine = 0;
    for (std::size_t index = 0; index < records.size(); ++index) {
        const FileRowRecord& record = records[index];
        ++totals.files;
        const std::int64_t bytes = record.size().value_or(0);
        totals.bytes += bytes;
        const std::optional<RowGroup> group = codecAndRateGroup(record);
        if (!group)
            continue;
        const std::uint64_t key = codecAndRateKey(*group);
        if (lastLine >= keys.size() || keys[lastLine] != key) {
            const auto found = std::find(keys.begin(), keys.end(), key);
            lastLine = static_cast<std::size_t>(found - keys.begin());
            if (found == keys.end()) {
                keys.push_back(key);
                totals.lines.push_back({*group, 0, 0, static_cast<std::int32_t>(index)});
            }
        }
        TotalsLine& line = totals.lines[lastLine];
        ++line.files;
        line.bytes += bytes;
        if (const WavProblem problem = record.problem(); problem != WavProblem::None) {
            TotalsLine& problemLine = problems[static_cast<std::size_t>(problem)];
            if (problemLine.files++ == 0) {
                problemLine.group = *problemGroup(record);
                problemLine.firstRow = static_cast<std::int32_t>(index);
            }
            problemLine.bytes += bytes;
        }
    }
    for (const TotalsLine& line : problems)
        if (line.files > 0)
            totals.lines.push_back(line);
    return totals;
}

double shareOfList(const TotalsLine& line, const ListTotals& totals) {
    return totals.files > 0 ? static_cast<double>(line.files) / static_cast<double>(totals.files)
                            : 0.0;
}

void sortTotalsRows(std::vector<TotalsRow>& rows, TotalsColumn column, bool descending) {
    const auto before = [column](const TotalsRow& a, const TotalsRow& b) {
        switch (column) {
        case TotalsColumn::Label:
            return a.label < b.label;
        case TotalsColumn::SampleRate:
            return rateNumber(a.sampleRate) < rateNumber(b.sampleRate);
        case TotalsColumn::Files:
            return a.files < b.files;
        case TotalsColumn::Bytes:
            return a.bytes < b.bytes;
        case TotalsColumn::Share:
            return a.share < b.share;
        }
        return false;
    };
    if (descending)
        std::stable_sort(rows.begin(), rows.end(),
                         [&](const TotalsRow& a, const TotalsRow& b) { return before(b, a); });
    else
        std::stable_sort(rows.begin(), rows.end(), before);
}

void appendTotalsCsv(std::string& text, std::string_view listName,
                     std::span<const TotalsRow> rows) {
    for (const TotalsRow& row : rows) {
        const std::string files = std::to_string(row.files);
        const std::string bytes = std::to_string(row.bytes);
        char share[32];
        std::snprintf(share, sizeof share, "%.1f", row.share * 100.0);
        const std::array<std::string_view, 6> fields = {listName, row.label, row.sampleRate,
                                                        files,    bytes,     share};
        appendCsvLine(text, fields);
    }
}

} // namespace tambrel
