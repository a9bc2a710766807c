// The grid control of the main window: a table view over a GridModel that fulfils the grid
// contract and gives the export its rows in the order shown. Rows are selected whole, columns
// resized by hand and sorted by a header click; Ctrl+C copies the selected rows as the export's
// CSV lines. The grid's filter and the optional fact columns (shown from the header's context
// menu) live in its model; the export of every row is unaffected by either.
#pragma once

#include "export/row_source.h"
#include "ui/grid_model.h"
#include "ui/text_width_estimate.h"
#include "ui/window_grid.h"

#include <array>
#include <cstdint>
#include <optional>
#include <QFont>
#include <QTableView>
#include <string>
#include <unordered_map>
#include <vector>

namespace tambrel {

class GridWidget final : public QTableView, public WindowGrid, public CsvRowSource {
    Q_OBJECT
public:
    // Columns: the keyless leading column, then Codec, FileName, SampleRate, LastModified,
    // FileSize. The leading column stays empty: nothing the user needs is in it.
    explicit GridWidget(QWidget* parent = nullptr);
    GridWidget(std::vector<std::string> keys, QWidget* parent);

    // The grid contract. AddItem's text is not shown anywhere: the program writes every keyed
    // cell of the new row itself.
    std::int32_t Rows() const override;
    Status SetRows(std::int32_t rows) override;
    std::int32_t ColIndex(std::string_view key) const override;
    Result<std::string> Cell(std::int32_t row, std::int32_t column) const override;
    Status SetCell(std::int32_t row, std::int32_t column, std::string_view text) override;
    Status AddItem(std::string_view text, std::int32_t position) override;
    // The file's cells, and its values for sorting by number and date.
    Status AddFileRow(const FileFacts& facts) override;
    // Fits the column to the widest of its texts, the header text included.
    Status AutoSize(std::int32_t column) override;
    void SetRedraw(RedrawMode mode) override;
    // Outer size inside the containing frame, in twips.
    float Width() const { return widthTwips_; }
    float Height() const { return heightTwips_; }
    void SetWidth(float twips);
    void SetHeight(float twips);

    // The export's rows: the data rows top to bottom as shown, their five file-row cells.
    std::int64_t csvRowCount() const override { return model_->tableRows() - 1; }
    Status csvRowTexts(std::int64_t row,
                       std::span<std::string_view, kCsvFields> texts) const override;

    // The rows the grid shows, in the order shown, for the export of shown rows. Read from the
    // model as the export asks: nothing is copied.
    const CsvRowSource& shownRows() const { return shownRows_; }
    // The one filter of the grid; an empty filter shows every row again.
    void setRowFilter(RowFilter filter);
    const RowFilter& rowFilter() const { return model_->rowFilter(); }
    std::int32_t shownRowCount() const { return model_->shownRowCount(); }
    std::int32_t dataRowCount() const { return model_->tableRows() - 1; }
    // Shows or hides an optional column; a column shown is fitted to the rows in sight.
    void setFactColumnShown(FactColumn fact, bool shown);
    // The fact columns' captions and texts in the current language.
    void localizeFactColumns();

    void setColumnWidthTwips(int column, float twips);
    // Widens the column, never narrows it, so that its header text shows whole.
    void widenToHeaderText(int column);
    GridModel& gridModel() { return *model_; }
    const GridModel& gridModel() const { return *model_; }

    // The selected rows, top to bottom as shown, each as the export writes a data line.
    std::string selectedRowsAsCsv() const;
    void copySelectionToClipboard() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;
    // The menu key (or a right click among the rows) offers the header's menu too, so that the
    // optional columns are within reach of the keyboard.
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    class ShownRowSource final : public CsvRowSource {
    public:
        explicit ShownRowSource(const GridWidget& grid) : grid_(grid) {}
        std::int64_t csvRowCount() const override { return grid_.model_->shownRowCount(); }
        Status csvRowTexts(std::int64_t row,
                           std::span<std::string_view, kCsvFields> texts) const override;

    private:
        const GridWidget& grid_;
    };

    // The optional columns, checkable, at `globalAt`.
    void showColumnMenu(const QPoint& globalAt);
    void fitRowHeightToFont();
    // The widest data text of the column, in pixels of the grid's font; every column is
    // measured in one pass, which the next columns' fitting reuses while the cells are as they
    // were.
    qreal widestTextInColumn(int column) const;
    // Estimates the widths of the texts of row `row`, just appended (its texts in rowTexts_).
    void estimateAddedRow(std::int32_t row);
    // The column width at which a text of `textWidth` pixels shows without elision.
    int cellWidthForText(qreal textWidth) const;
    // Widens every keyed column whose values would be elided; a column fitted since the last
    // change of cells is skipped.
    void widenToContents();
    enum class SortMark { Excluded, Included };
    int headerTextWidth(int column, SortMark mark) const;

    GridModel* model_;
    // The column of each file-row cell (-1: the grid has no such column), and a row's texts in
    // column order: both made once rather than for every row a scan adds.
    std::array<std::int32_t, 5> fileRowColumns_{};
    std::vector<std::string_view> rowTexts_;
    float widthTwips_ = 0;
    float heightTwips_ = 0;
    // Bumped by every change of cells; a column fitted at the current revision needs no measuring.
    std::uint64_t contentsRevision_ = 0;
    std::unordered_map<int, std::uint64_t> fittedAt_;
    ShownRowSource shownRows_{*this};
    // What a measurement of the widest texts holds for: the cells as they were, and the font.
    struct WidthKey {
        std::uint64_t revision = 0;
        std::int32_t rows = 0;
        QFont font;
        qreal pixelRatio = 0;
        // Whether it holds for `grid` as it is in all but its rows, and for `tableRows` rows.
        bool matches(const GridWidget& grid, std::int32_t tableRows) const;
    };
    WidthKey currentWidthKey() const;
    struct WidestTexts {
        std::vector<qreal> widths;
        WidthKey key;
    };
    // The rows appended since the grid was emptied, estimated as they came.
    std::optional<TextWidthEstimate> runningWidths_;
    WidthKey runningWidthsKey_;
    mutable std::optional<WidestTexts> widest_;
};

// The column keys of both grids of the main window, in column order.
std::vector<std::string> fileRowColumnKeys();

} // namespace tambrel
