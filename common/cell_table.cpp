#include "common/cell_table.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <cstring>
#include <utility>

namespace tambrel {

namespace {

// Large enough that a scanned row wastes little at a page's end and a million rows need only
// a couple of thousand pages; a row larger than a quarter page gets a page of its own.
constexpr std::size_t kPageSize = 64 * 1024;

// A length in 7-bit groups, low group first, the top bit of a byte marking that more follow.
std::size_t encodedSize(std::size_t length) {
    std::size_t bytes = 1;
    while (length >= 0x80) {
        length >>= 7;
        ++bytes;
    }
    return bytes;
}

char* writeLength(char* out, std::size_t length) {
    while (length >= 0x80) {
        *out++ = static_cast<char>(0x80 | (length & 0x7f));
        length >>= 7;
    }
    *out++ = static_cast<char>(length);
    return out;
}

// The block was written by writeRow, so every length is complete.
const char* readLength(const char* in, std::size_t& length) {
    length = 0;
    for (int shift = 0;; shift += 7) {
        const auto byte = static_cast<unsigned char>(*in++);
        length |= static_cast<std::size_t>(byte & 0x7f) << shift;
        if (!(byte & 0x80))
            return in;
    }
}

} // namespace

CellTable::CellTable(int columns) : columns_(columns) {
    assert(columns > 0);
}

CellTable::CellTable(CellTable&& other) noexcept
    : columns_(other.columns_), rows_(std::move(other.rows_)), pages_(std::move(other.pages_)),
      pageFree_(std::exchange(other.pageFree_, nullptr)),
      pageLeft_(std::exchange(other.pageLeft_, 0)), pageBytes_(std::exchange(other.pageBytes_, 0)),
      garbageBytes_(std::exchange(other.garbageBytes_, 0)) {}

CellTable& CellTable::operator=(CellTable&& other) noexcept {
    if (this != &other) {
        columns_ = other.columns_;
        rows_ = std::move(other.rows_);
        pages_ = std::move(other.pages_);
        pageFree_ = std::exchange(other.pageFree_, nullptr);
        pageLeft_ = std::exchange(other.pageLeft_, 0);
        pageBytes_ = std::exchange(other.pageBytes_, 0);
        garbageBytes_ = std::exchange(other.garbageBytes_, 0);
        other.rows_.clear();
        other.pages_.clear();
    }
    return *this;
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
        for (auto row = rows_.begin() + rows; row != rows_.end(); ++row)
            leaveBehind(*row);
        rows_.erase(rows_.begin() + rows, rows_.end());
        rows_.shrink_to_fit();
        reclaimIfMostlyGarbage();
    }
}

char* CellTable::allocate(std::size_t size) {
    if (size > kPageSize / 4) {
        pages_.push_back(std::make_unique_for_overwrite<char[]>(size));
        pageBytes_ += size;
        return pages_.back().get();
    }
    if (size > pageLeft_) {
        garbageBytes_ += pageLeft_;
        pages_.push_back(std::make_unique_for_overwrite<char[]>(kPageSize));
        pageBytes_ += kPageSize;
        pageFree_ = pages_.back().get();
        pageLeft_ = kPageSize;
    }
    char* block = pageFree_;
    pageFree_ += size;
    pageLeft_ -= size;
    return block;
}

void CellTable::reclaimIfMostlyGarbage() {
    // Copying every live block is paid for by at least as many bytes left behind since the
    // last time, so rewriting rows costs amortized constant time and at most twice the memory.
    const std::size_t live = pageBytes_ - pageLeft_ - garbageBytes_;
    if (garbageBytes_ < kPageSize || garbageBytes_ < live)
        return;
    const std::vector<std::unique_ptr<char[]>> oldPages = std::move(pages_);
    pages_.clear();
    pageFree_ = nullptr;
    pageLeft_ = 0;
    pageBytes_ = 0;
    garbageBytes_ = 0;
    for (Row& row : rows_) {
        if (!row.block)
            continue;
        const std::size_t size = blockSize(row);
        char* block = allocate(size);
        std::memcpy(block, row.block, size);
        row.block = block;
    }
}

std::size_t CellTable::blockSize(const Row& row) const {
    if (!row.block)
        return 0;
    const char* in = row.block;
    std::size_t bytes = 0;
    for (int c = 0; c < columns_; ++c) {
        std::size_t length;
        in = readLength(in, length);
        bytes += length;
    }
    return static_cast<std::size_t>(in - row.block) + bytes;
}

std::string_view CellTable::cell(std::int32_t row, int column) const {
    assert(row >= 0 && row < rowCount() && column >= 0 && column < columns_);
    const Row& r = rows_[row];
    if (!r.block)
        return {};
    const char* in = r.block;
    std::size_t before = 0;
    std::size_t length = 0;
    for (int c = 0; c < columns_; ++c) {
        std::size_t next;
        in = readLength(in, next);
        if (c < column)
            before += next;
        else if (c == column)
            length = next;
    }
    return {in + before, length};
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
    const char* in = r.block;
    offsets[0] = 0;
    for (int c = 0; c < columns_; ++c) {
        std::size_t length;
        in = readLength(in, length);
        offsets[c + 1] = offsets[c] + length;
    }
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const std::int32_t column = columns[i];
        assert(column >= 0 && column < columns_);
        texts[i] = std::string_view(in + offsets[column], offsets[column + 1] - offsets[column]);
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
    writeRow(r, cells);
}

void CellTable::setRow(std::int32_t row, std::span<const std::string_view> texts) {
    assert(row >= 0 && row < rowCount() && texts.size() == static_cast<std::size_t>(columns_));
    writeRow(rows_[row], texts);
}

void CellTable::writeRow(Row& row, std::span<const std::string_view> texts) {
    std::size_t size = 0;
    for (auto piece : texts)
        size += encodedSize(piece.size()) + piece.size();
    // The texts may be cells of this table, even of this row: they are copied before any block
    // moves, and the old block stays where it is until the next reclaim.
    char* block = allocate(size);
    char* out = block;
    for (auto piece : texts)
        out = writeLength(out, piece.size());
    for (auto piece : texts)
        if (!piece.empty())
            out = std::copy(piece.begin(), piece.end(), out);
    if (row.block)
        leaveBehind(row);
    row.block = block;
    reclaimIfMostlyGarbage();
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
    return rows_.capacity() * sizeof(Row) + pageBytes_;
}

} // namespace tambrel
