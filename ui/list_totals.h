// The totals of one list: its files and bytes per codec and sample rate and per problem, counted
// from the grid's row records in one pass. Kept per group, never per row, so a refresh over a
// million rows adds nothing to the rows' memory. Free of Qt: the window shows these lines.
#pragma once

#include "ui/file_row_record.h"
#include "ui/row_filter.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tambrel {

struct TotalsLine {
    RowGroup group;
    std::int64_t files = 0;
    std::int64_t bytes = 0;    // the sizes known; a file without status adds none
    std::int32_t firstRow = 0; // index in the records of the group's first row, for its cell texts
};

struct ListTotals {
    std::int64_t files = 0; // every row of the list, grouped or not
    std::int64_t bytes = 0;
    // The codec and rate lines in the order their first rows come, then the problem lines in
    // the problems' order.
    std::vector<TotalsLine> lines;
};

ListTotals computeListTotals(std::span<const FileRowRecord> records);

// The line's files as a share of the list's, 0 to 1; 0 for an empty list.
double shareOfList(const TotalsLine& line, const ListTotals& totals);

// A line as the window shows it: its first cell (the Codec cell's text, or the problem's) and
// its numbers. The sample rate is empty for a problem line.
struct TotalsRow {
    std::string label;
    std::string sampleRate;
    std::int64_t files = 0;
    std::int64_t bytes = 0;
    double share = 0;
    RowGroup group;
};

enum class TotalsColumn : std::uint8_t { Label, SampleRate, Files, Bytes, Share };

// Stable: rows that tie keep their order. Texts compare by their bytes, the sample rate by its
// number (a problem line's empty rate before every rate).
void sortTotalsRows(std::vector<TotalsRow>& rows, TotalsColumn column, bool descending);

// The rows as the CSV line writer writes them, each line led by a cell of `listName`: label,
// sample rate, files, bytes, and the share as a percentage with one decimal.
void appendTotalsCsv(std::string& text, std::string_view listName, std::span<const TotalsRow> rows);

} // namespace tambrel
