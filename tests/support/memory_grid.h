// A grid held in memory only: the scan tests and benchmarks fill it through the window's own
// scan sink and read it back, and the export tests hand it to the export as its row source.
#pragma once

#include "common/ascii_case.h"
#include "common/cell_table.h"
#include "export/row_source.h"
#include "ui/window_grid.h"

#include <array>
#include <string>
#include <vector>

namespace tambrel {

class MemoryGrid final : public WindowGrid, public CsvRowSource {
public:
    // keys[i] is the key of column i; an empty key means none (column 0 of the program's grids).
    explicit MemoryGrid(std::vector<std::string> keys);
    // The program's column layout: no key, Codec, FileName, SampleRate, LastModified, FileSize.
    static MemoryGrid withFileRowColumns();

    std::int32_t Rows() const override { return cells_.rowCount(); }
    Status SetRows(std::int32_t rows) override;
    std::int32_t ColIndex(std::string_view key) const override;
    Result<std::string> Cell(std::int32_t row, std::int32_t column) const override;
    Status SetCell(std::int32_t row, std::int32_t column, std::string_view text) override;
    Status AddItem(std::string_view text, std::int32_t position) override;
    Status AutoSize(std::int32_t column) override;
    void SetRedraw(RedrawMode mode) override { redraw_ = mode; }

    // The data rows' file-row cells, as views into the grid's own storage.
    std::int64_t csvRowCount() const override { return cells_.rowCount() - 1; }
    Status csvRowTexts(std::int64_t row,
                       std::span<std::string_view, kCsvFields> texts) const override;

    RedrawMode redraw() const { return redraw_; }
    // Characters of the longest text in the column after the last AutoSize, header included.
    std::size_t autoSizedWidth(std::int32_t column) const;
    const CellTable& cells() const { return cells_; }
    // One cell's text, "" when out of range: for assertions.
    std::string text(std::int32_t row, std::string_view key) const;

private:
    Status checkCell(std::int32_t row, std::int32_t column) const;

    std::vector<std::string> keys_;
    CellTable cells_;
    std::vector<std::size_t> autoSizedWidths_;
    std::array<std::int32_t, kCsvFields> csvColumns_{}; // the columns of the export's fields
    RedrawMode redraw_ = RedrawMode::Buffered;
};

// The FileName cells of the data rows, in the grid's order: for assertions.
inline std::vector<std::string> fileNames(const MemoryGrid& grid) {
    std::vector<std::string> names;
    for (std::int32_t row = 1; row < grid.Rows(); ++row)
        names.push_back(grid.text(row, "FileName"));
    return names;
}

} // namespace tambrel
