// Compact storage for a grid's text cells: one block per row holding every cell's length and
// bytes, the blocks laid end to end in large pages, so a million rows cost a few thousand
// allocations rather than six million strings (a heap block per row would add a sixth to a
// scanned row in bookkeeping and rounding). Lengths are stored in 7-bit groups: one byte for a
// cell under 128 bytes, as nearly all are. A rewritten row leaves its old block behind until
// the left-behind bytes outweigh the live ones; then the live blocks are copied into fresh pages.
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

    CellTable(CellTable&& other) noexcept;
    CellTable& operator=(CellTable&& other) noexcept;
    CellTable(const CellTable&) = delete;
    CellTable& operator=(const CellTable&) = delete;
    ~CellTable() = default;

private:
    struct Row {
        const char* block = nullptr; // every cell's length, then the cells' bytes in order
    };

    std::size_t blockSize(const Row& row) const;
    char* allocate(std::size_t size);
    // Writes `texts` into a new block and makes it the row's; the old one becomes garbage.
    void writeRow(Row& row, std::span<const std::string_view> texts);
    void leaveBehind(const Row& row) { garbageBytes_ += blockSize(row); }
    void reclaimIfMostlyGarbage();

    int columns_;
    std::vector<Row> rows_;
    std::vector<std::unique_ptr<char[]>> pages_;
    char* pageFree_ = nullptr;
    std::size_t pageLeft_ = 0;
    std::size_t pageBytes_ = 0;    // bytes of all pages
    std::size_t garbageBytes_ = 0; // bytes no row points to: old blocks and skipped page ends
};

} // namespace tambrel
