// What the program asks of a grid control: a table of text cells with one header row, columns
// found by key. The scan fills grids and the export reads them only through this contract; the
// Qt grid widget and the in-memory grid of the tests implement it.
#pragma once

#include "common/file_row.h"
#include "common/result.h"

#include <cerrno>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace tambrel {

enum class RedrawMode : int {
    Suspended = 0, // no repainting while rows are added in bulk
    Buffered = 2,  // painting resumed, repainted at once
};

class Grid {
public:
    virtual ~Grid() = default;

    // Row count including the header row; below 2 means no data row.
    virtual std::int32_t Rows() const = 0;
    // Only 1 is ever asked for: every data row goes, the header row and its texts stay.
    virtual Status SetRows(std::int32_t rows) = 0;
    // Index of the column bearing `key`, letter case not significant; -1 when no column has it.
    virtual std::int32_t ColIndex(std::string_view key) const = 0;
    virtual Result<std::string> Cell(std::int32_t row, std::int32_t column) const = 0;
    // The texts of `columns` in `row`, as views into the grid's own storage that stay valid
    // until the grid next changes, with the failures of Cell. The export reads a million rows
    // this way, a row per call and no string per cell. A grid that keeps no texts of its own
    // fails with ENOTSUP, and callers read its cells one by one.
    virtual Status ViewCells(std::int32_t row, std::span<const std::int32_t> columns,
                             std::span<std::string_view> texts) const {
        (void)row;
        (void)columns;
        (void)texts;
        return Failure::fromErrno(ENOTSUP);
    }
    virtual Status SetCell(std::int32_t row, std::int32_t column, std::string_view text) = 0;
    // Adds a row at `position` (the program always passes the current Rows()). Where `text`
    // shows is the grid's own business.
    virtual Status AddItem(std::string_view text, std::int32_t position) = 0;
    // A grid that keeps file rows typed takes each one whole here, cells and values in one
    // call. ENOTSUP (the default) means the caller adds it through AddItem and SetCell.
    virtual Status AddFileRow(const FileRow& row) {
        (void)row;
        return Failure::fromErrno(ENOTSUP);
    }
    virtual Status AutoSize(std::int32_t column) = 0;
    virtual void SetRedraw(RedrawMode mode) = 0;

    // Outer size inside the containing frame, in twips.
    virtual float Width() const = 0;
    virtual float Height() const = 0;
    virtual void SetWidth(float twips) = 0;
    virtual void SetHeight(float twips) = 0;
};

} // namespace tambrel
