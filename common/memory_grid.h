// A grid held in memory only: the core's tests and benchmarks fill and read it exactly as the
// program fills and reads the grids on screen.
#pragma once

#include "common/cell_table.h"
#include "common/grid.h"

#include <string>
#include <vector>

namespace tambrel {

class MemoryGrid final : public Grid {
public:
    // keys[i] is the key of column i; an empty key means none (column 0 of the program's grids).
    explicit MemoryGrid(std::vector<std::string> keys);
    // The program's column layout: no key, Codec, FileName, SampleRate, LastModified, FileSize.
    static MemoryGrid withFileRowColumns();

    std::int32_t Rows() const override { return cells_.rowCount(); }
    Status SetRows(std::int32_t rows) override;
    std::int32_t ColIndex(std::string_view key) const override;
    Result<std::string> Cell(std::int32_t row, std::int32_t column) const override;
    Status ViewCells(std::int32_t row, std::span<const std::int32_t> columns,
                     std::span<std::string_view> texts) const override;
    Status SetCell(std::int32_t row, std::int32_t column, std::string_view text) override;
    Status AddItem(std::string_view text, std::int32_t position) override;
    Status AutoSize(std::int32_t column) override;
    void SetRedraw(RedrawMode mode) override { redraw_ = mode; }
    float Width() const override { return width_; }
    float Height() const override { return height_; }
    void SetWidth(float twips) override { width_ = twips; }
    void SetHeight(float twips) override { height_ = twips; }

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
    RedrawMode redraw_ = RedrawMode::Buffered;
    float width_ = 0;
    float height_ = 0;
};

// Case-blind comparison of ASCII keys, as grids and the main window compare texts.
bool equalsIgnoringCase(std::string_view a, std::string_view b);

} // namespace tambrel
