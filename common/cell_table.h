// Compact storage for a grid's text cells: one heap block per row holding every cell's length
// and bytes, so a million rows cost a million allocations rather than six million strings.
// Shared by the in-memory grid and the Qt grid's model.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

namespace tambrel {

class CellTable {
public:
    explicit CellTable(int columns);

    int columnCount() const { return columns_; }
    std::int32_t rowCount() const { return static_cast<std::int32_t>(rows_.size()); }

    void appendRow();
    void insertRow(std::int32_t position);
    // Keeps the first `rows` rows.
    void truncate(std::int32_t rows);
    void reserve(std::size_t rows) { rows_.reserve(rows); }

    // Callers check bounds; out-of-range access is a programming error.
    std::string_view cell(std::int32_t row, int column) const;
    // The cells of `columns` in `row`, in one pass over the row's lengths.
    void cells(std::int32_t row, std::span<const std::int32_t> columns,
               std::span<std::string_view> texts) const;
    void setCell(std::int32_t row, int column, std::string_view text);
    // Every cell of `row` at once, `texts` in column order (one per column): a scan fills
    // whole rows, and writing them cell by cell would rebuild the row once per cell.
    void setRow(std::int32_t row, std::span<const std::string_view> texts);

    // Reorders rows [first, first + order.size()) so that new row first+i is old row
    // first+order[i]; `order` must be a permutation of 0..size-1.
    void permuteRows(std::int32_t first, std::span<const std::int32_t> order);

    // Heap bytes held by the rows, for the memory budget of the benchmarks.
    std::size_t bytesUsed() const;

private:
    using Length = std::uint32_t;
    struct Row {
        std::unique_ptr<char[]> block; // Length[columns], then the cells' bytes in column order
    };

    std::size_t blockSize(const Row& row) const;
    static std::unique_ptr<char[]> packedBlock(std::span<const std::string_view> texts);

    int columns_;
    std::vector<Row> rows_;
};

} // namespace tambrel
