// What the program asks of a grid control: a table of text cells with one header row, columns
// found by key. The scan fills grids and the export reads them only through this contract; the
// Qt grid widget and the in-memory grid of the tests implement it.
#pragma once

#include "common/result.h"

#include <cstdint>
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
    // Cell read appended to `text`: the same failures as Cell, but a grid that holds its
    // texts can skip the string of its own per cell (the export reads millions of cells).
    virtual Status AppendCellText(std::int32_t row, std::int32_t column, std::string& text) const {
        Result<std::string> cell = Cell(row, column);
        if (!cell)
            return cell.failure();
        text.append(cell.value());
        return {};
    }
    virtual Status SetCell(std::int32_t row, std::int32_t column, std::string_view text) = 0;
    // Adds a row at `position` (the program always passes the current Rows()). Where `text`
    // shows is the grid's own business.
    virtual Status AddItem(std::string_view text, std::int32_t position) = 0;
    virtual Status AutoSize(std::int32_t column) = 0;
    virtual void SetRedraw(RedrawMode mode) = 0;

    // Outer size inside the containing frame, in twips.
    virtual float Width() const = 0;
    virtual float Height() const = 0;
    virtual void SetWidth(float twips) = 0;
    virtual void SetHeight(float twips) = 0;
};

} // namespace tambrel
