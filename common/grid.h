// What the program asks of a grid control: a table of text cells with one header row, columns
// found by key. The window's grids and the tests' in-memory grid implement it; the scan knows
// nothing of it, and the export reads rows through a row source instead.
#pragma once

#include "common/file_facts.h"
#include "common/result.h"

#include <cerrno>
#include <cstdint>
#include <string>
#include <string_view>

namespace tambrel {

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
    virtual Status SetCell(std::int32_t row, std::int32_t column, std::string_view text) = 0;
    // Adds a row at `position` (the program always passes the current Rows()). Where `text`
    // shows is the grid's own business.
    virtual Status AddItem(std::string_view text, std::int32_t position) = 0;
    // A grid that keeps file rows typed takes each file's facts whole here, cells and values in
    // one call. ENOTSUP (the default) means the caller adds it through AddItem and SetCell.
    virtual Status AddFileRow(const FileFacts& facts) {
        (void)facts;
        return Failure::fromErrno(ENOTSUP);
    }
};

} // namespace tambrel
