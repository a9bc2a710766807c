#include "common/cell_table.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <cstring>

namespace tambrel {

CellTable::CellTable(int columns) : columns_(columns) {
    assert(columns > 0);
}

void CellTable::appendRow() {
    rows_.emplace_back();
}

void CellTable::insertRow(std::int32_t position) {
    assert(position >= 0 && position <= rowCount());
    rows_.insert(rows_.begin() + position, Row{});
}

void CellTable::truncate(std::int32_t rows) {
    if (rows >= 0 && rows < rowCount()) {
        rows_.erase(rows_.begin() + rows, rows_.end());
        rows_.shrink_to_fit();
    }
}

std::size_t CellTable::blockSize(const Row& row) const {
    if (!row.block)
        return 0;
    std::size_t size = sizeof(Length) * columns_;
    for (int c = 0; c < columns_; ++c) {
        Length length;
        std::memcpy(&length, row.block.get() + sizeof(Length) * c, sizeof length);
        size += length;
    }
    return size;
}

std::string_view CellTable::cell(std::int32_t row, int column) const {
    assert(row >= 0 && row < rowCount() && column >= 0 && column < columns_);
    const Row& r = rows_[row];
    if (!r.block)
        return {};
    const char* lengths = r.block.get();
    std::size_t offset = sizeof(Length) * columns_;
    Length length = 0;
    for (int c = 0; c <= column; ++c) {
        std::memcpy(&length, lengths + sizeof(Length) * c, sizeof length);
        if (c < column)
            offset += length;
    }
    return {r.block.get() + offset, length};
}

void CellTable::cells(std::int32_t row, std::span<const std::int32_t> columns,
                      std::span<std::string_view> texts) const {
    assert(row >= 0 && row < rowCount() && texts.size() >= columns.size());
    const Row& r = rows_[row];
    if (!r.block) {
        std::fill_n(texts.begin(), columns.size(), std::string_view());
        return;
    }
    // Where each column's bytes begin: the usual handful of columns on the stack.
    constexpr int kInlineColumns = 16;
    std::array<std::size_t, kInlineColumns + 1> inlineOffsets;
    std::vector<std::size_t> manyOffsets;
    std::size_t* offsets = inlineOffsets.data();
    if (columns_ > kInlineColumns) {
        manyOffsets.resize(static_cast<std::size_t>(columns_) + 1);
        offsets = manyOffsets.data();
    }
    const char* block = r.block.get();
    offsets[0] = sizeof(Length) * columns_;
    for (int c = 0; c < columns_; ++c) {
        Length length;
        std::memcpy(&length, block + sizeof(Length) * c, sizeof length);
        offsets[c + 1] = offsets[c] + length;
    }
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const std::int32_t column = columns[i];
        assert(column >= 0 && column < columns_);
        texts[i] = std::string_view(block + offsets[column], offsets[column + 1] - offsets[column]);
    }
}

void CellTable::setCell(std::int32_t row, int column, std::string_view text) {
    assert(row >= 0 && row < rowCount() && column >= 0 && column < columns_);
    Row& r = rows_[row];
    // Rows are rewritten once per cell while a scan fills them: the usual handful of columns
    // is gathered on the stack rather than in a fresh vector each time.
    constexpr int kInlineColumns = 16;
    std::array<std::string_view, kInlineColumns> inlineCells;
    std::vector<std::string_view> manyCells;
    std::span<std::string_view> cells;
    if (columns_ <= kInlineColumns) {
        cells = std::span<std::string_view>(inlineCells.data(), static_cast<std::size_t>(columns_));
    } else {
        manyCells.resize(static_cast<std::size_t>(columns_));
        cells = manyCells;
    }
    for (int c = 0; c < columns_; ++c)
        cells[c] = c == column ? text : cell(row, c);
    r.block = packedBlock(cells);
}

void CellTable::setRow(std::int32_t row, std::span<const std::string_view> texts) {
    assert(row >= 0 && row < rowCount() && texts.size() == static_cast<std::size_t>(columns_));
    rows_[row].block = packedBlock(texts);
}

std::unique_ptr<char[]> CellTable::packedBlock(std::span<const std::string_view> texts) {
    const std::size_t header = sizeof(Length) * texts.size();
    std::size_t size = header;
    for (auto piece : texts)
        size += piece.size();
    auto block = std::make_unique_for_overwrite<char[]>(size);
    std::size_t offset = header;
    for (std::size_t c = 0; c < texts.size(); ++c) {
        const Length length = static_cast<Length>(texts[c].size());
        std::memcpy(block.get() + sizeof(Length) * c, &length, sizeof length);
        if (length)
            std::memcpy(block.get() + offset, texts[c].data(), length);
        offset += length;
    }
    return block;
}

void CellTable::permuteRows(std::int32_t first, std::span<const std::int32_t> order) {
    std::vector<Row> reordered;
    reordered.reserve(order.size());
    for (std::int32_t from : order)
        reordered.push_back(std::move(rows_[first + from]));
    for (std::size_t i = 0; i < reordered.size(); ++i)
        rows_[first + i] = std::move(reordered[i]);
}

std::size_t CellTable::bytesUsed() const {
    std::size_t total = rows_.capacity() * sizeof(Row);
    for (const Row& row : rows_)
        total += blockSize(row);
    return total;
}

} // namespace tambrel
