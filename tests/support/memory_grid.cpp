#include "tests/support/memory_grid.h"

#include "inventory/describe_file.h"

#include <algorithm>
#include <cerrno>

namespace tambrel {

namespace {
Failure invalidCell() {
    return Failure{EINVAL, "Subscript out of range"};
}
} // namespace

MemoryGrid::MemoryGrid(std::vector<std::string> keys)
    : keys_(std::move(keys)), cells_(static_cast<int>(keys_.size())),
      autoSizedWidths_(keys_.size(), 0) {
    cells_.appendRow(); // the header row
    for (std::size_t i = 0; i < kCsvFields; ++i)
        csvColumns_[i] = ColIndex(kFileRowKeys[i]);
}

MemoryGrid MemoryGrid::withFileRowColumns() {
    return MemoryGrid({"", "Codec", "FileName", "SampleRate", "LastModified", "FileSize"});
}

Status MemoryGrid::SetRows(std::int32_t rows) {
    if (rows < 1)
        return invalidCell();
    while (cells_.rowCount() < rows)
        cells_.appendRow();
    cells_.truncate(rows);
    return {};
}

std::int32_t MemoryGrid::ColIndex(std::string_view key) const {
    for (std::size_t i = 0; i < keys_.size(); ++i)
        if (!keys_[i].empty() && equalIgnoringAsciiCase(keys_[i], key))
            return static_cast<std::int32_t>(i);
    return -1;
}

Status MemoryGrid::checkCell(std::int32_t row, std::int32_t column) const {
    if (row < 0 || row >= cells_.rowCount() || column < 0 || column >= cells_.columnCount())
        return invalidCell();
    return {};
}

Result<std::string> MemoryGrid::Cell(std::int32_t row, std::int32_t column) const {
    if (Status status = checkCell(row, column); !status)
        return status.failure();
    return std::string(cells_.cell(row, column));
}

Status MemoryGrid::csvRowTexts(std::int64_t row,
                               std::span<std::string_view, kCsvFields> texts) const {
    // Plain comparisons rather than checkCell's Status per column: this runs once per row of
    // an export.
    bool inRange = row >= 0 && row + 1 < cells_.rowCount();
    for (std::int32_t column : csvColumns_)
        inRange = inRange && column >= 0 && column < cells_.columnCount();
    if (!inRange)
        return invalidCell();
    cells_.cells(static_cast<std::int32_t>(row + 1), csvColumns_, texts);
    return {};
}

Status MemoryGrid::SetCell(std::int32_t row, std::int32_t column, std::string_view text) {
    if (Status status = checkCell(row, column); !status)
        return status;
    cells_.setCell(row, column, text);
    return {};
}

Status MemoryGrid::AddItem(std::string_view text, std::int32_t position) {
    if (position < 1 || position > cells_.rowCount())
        return invalidCell();
    cells_.insertRow(position);
    // Like the grid on screen, the item text lands in the first column.
    cells_.setCell(position, 0, text);
    return {};
}

Status MemoryGrid::AutoSize(std::int32_t column) {
    if (column < 0 || column >= cells_.columnCount())
        return invalidCell();
    std::size_t widest = 0;
    for (std::int32_t row = 0; row < cells_.rowCount(); ++row)
        widest = std::max(widest, cells_.cell(row, column).size());
    autoSizedWidths_[static_cast<std::size_t>(column)] = widest;
    return {};
}

std::size_t MemoryGrid::autoSizedWidth(std::int32_t column) const {
    return column >= 0 && static_cast<std::size_t>(column) < autoSizedWidths_.size()
               ? autoSizedWidths_[static_cast<std::size_t>(column)]
               : 0;
}

std::string MemoryGrid::text(std::int32_t row, std::string_view key) const {
    Result<std::string> cell = Cell(row, ColIndex(key));
    return cell ? cell.value() : std::string();
}

} // namespace tambrel
