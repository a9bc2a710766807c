#include "ui/grid_widget.h"

#include "export/csv_writer.h"
#include "inventory/describe_file.h"
#include "ui/header_fit.h"
#include "ui/text_width_estimate.h"
#include "ui/twips.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QHash>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMenu>
#include <QStyle>

namespace tambrel {
namespace {

Failure subscriptOutOfRange() {
    return Failure{EINVAL, "Subscript out of range"};
}

} // namespace

std::vector<std::string> fileRowColumnKeys() {
    return {"", "Codec", "FileName", "SampleRate", "LastModified", "FileSize"};
}

GridWidget::GridWidget(QWidget* parent) : GridWidget(fileRowColumnKeys(), parent) {}

GridWidget::GridWidget(std::vector<std::string> keys, QWidget* parent)
    : QTableView(parent), model_(new GridModel(std::move(keys), this)) {
    setModel(model_);
    // The running estimate knows its rows by number: once they move, a whole pass is needed.
    connect(model_, &QAbstractItemModel::layoutChanged, this, [this] { runningWidths_.reset(); });
    connect(model_, &QAbstractItemModel::modelReset, this, [this] { runningWidths_.reset(); });
    static_assert(std::tuple_size_v<decltype(fileRowColumns_)> == kFileRowKeys.size());
    for (std::size_t i = 0; i < kFileRowKeys.size(); ++i)
        fileRowColumns_[i] = model_->columnForKey(kFileRowKeys[i]);
    rowTexts_.resize(static_cast<std::size_t>(model_->cells().columnCount()));
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    // Tab moves on to the next control, as in the grid the window was designed around, so the
    // buttons below stay within reach of the keyboard; the arrow keys move between cells.
    setTabKeyNavigation(false);

    // A million rows of one height: the vertical header never measures a row.
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    fitRowHeightToFont();

    QHeaderView* header = horizontalHeader();
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setMinimumSectionSize(4);
    header->setHighlightSections(false);
    header->setStretchLastSection(false);
    header->setSortIndicator(-1, Qt::AscendingOrder);
    header->setSortIndicatorShown(true);
    setSortingEnabled(true);
    // The keyless column has nothing to sort by: a click on it clears the indicator.
    // A sorted column makes room for the indicator beside its header text.
    connect(header, &QHeaderView::sortIndicatorChanged, this,
            [this, header](int section, Qt::SortOrder) {
                if (section == 0)
                    header->setSortIndicator(-1, Qt::AscendingOrder);
                else if (section > 0 &&
                         columnWidth(section) < headerTextWidth(section, SortMark::Included))
                    setColumnWidth(section, headerTextWidth(section, SortMark::Included));
            });

    // The optional fact columns are offered where the user looks for columns: on the header.
    header->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(
        header, &QHeaderView::customContextMenuRequested, this,
        [this, header](const QPoint& at) { showColumnMenu(header->viewport()->mapToGlobal(at)); });
    localizeFactColumns();

    widthTwips_ = static_cast<float>(width() * twipsPerPixelX(*this));
    heightTwips_ = static_cast<float>(height() * twipsPerPixelY(*this));
}

std::int32_t GridWidget::Rows() const {
    return model_->tableRows();
}

Status GridWidget::SetRows(std::int32_t rows) {
    if (rows < 1)
        return Failure{EINVAL, "Invalid property value"};
    if (rows < model_->tableRows()) {
        model_->truncate(rows);
        // The rows that come next are in the order they are added, not in the old one.
        horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    }
    while (model_->tableRows() < rows)
        model_->insertRow(model_->tableRows());
    ++contentsRevision_;
    return {};
}

std::int32_t GridWidget::ColIndex(std::string_view key) const {
    return model_->columnForKey(key);
}

Result<std::string> GridWidget::Cell(std::int32_t row, std::int32_t column) const {
    if (row < 0 || row >= model_->tableRows() || column < 0 ||
        column >= model_->cells().columnCount())
        return subscriptOutOfRange();
    return std::string(model_->cells().cell(row, column));
}

Status GridWidget::csvRowTexts(std::int64_t row,
                               std::span<std::string_view, kCsvFields> texts) const {
    const std::int64_t tableRow = row + 1;
    if (row < 0 || tableRow >= model_->tableRows())
        return subscriptOutOfRange();
    for (std::int32_t column : fileRowColumns_)
        if (column < 0)
            return subscriptOutOfRange();
    model_->cells().cells(static_cast<std::int32_t>(tableRow), fileRowColumns_, texts);
    return {};
}

Status
GridWidget::ShownRowSource::csvRowTexts(std::int64_t row,
                                        std::span<std::string_view, kCsvFields> texts) const {
    if (row < 0 || row >= csvRowCount())
        return subscriptOutOfRange();
    return grid_.csvRowTexts(grid_.model_->dataRowOfShown(static_cast<std::int32_t>(row)), texts);
}

void GridWidget::setRowFilter(RowFilter filter) {
    model_->setRowFilter(std::move(filter));
}

void GridWidget::setFactColumnShown(FactColumn fact, bool shown) {
    model_->setFactColumnShown(fact, shown);
    if (!shown)
        return;
    const int column = model_->columnOfFact(fact);
    resizeColumnToContents(column);
    if (const int needed = headerTextWidth(column, SortMark::Included);
        columnWidth(column) < needed)
        setColumnWidth(column, needed);
}

void GridWidget::localizeFactColumns() {
    model_->setFactTexts(FactTexts::inCurrentLanguage());
    for (FactColumn fact : kFactColumns)
        if (const int column = model_->columnOfFact(fact); column >= 0)
            widenToHeaderText(column);
}

void GridWidget::contextMenuEvent(QContextMenuEvent* event) {
    showColumnMenu(event->globalPos());
    event->accept();
}

void GridWidget::showColumnMenu(const QPoint& globalAt) {
    const FactTexts texts = FactTexts::inCurrentLanguage();
    QMenu menu(this);
    for (FactColumn fact : kFactColumns) {
        QAction* action = menu.addAction(texts.captions[static_cast<std::size_t>(fact)]);
        action->setCheckable(true);
        action->setChecked(model_->factColumnShown(fact));
        connect(action, &QAction::toggled, this,
                [this, fact](bool checked) { setFactColumnShown(fact, checked); });
    }
    menu.exec(globalAt);
}

Status GridWidget::SetCell(std::int32_t row, std::int32_t column, std::string_view text) {
    if (row < 0 || row >= model_->tableRows() || column < 0 ||
        column >= model_->cells().columnCount())
        return subscriptOutOfRange();
    model_->setCell(row, column, text);
    ++contentsRevision_;
    return {};
}

Status GridWidget::AddItem(std::string_view, std::int32_t position) {
    if (position < 1 || position > model_->tableRows())
        return subscriptOutOfRange();
    model_->insertRow(position);
    ++contentsRevision_;
    return {};
}

Status GridWidget::AddFileRow(const FileFacts& facts) {
    const std::int32_t position = model_->tableRows();
    model_->insertRow(position);
    const std::array<std::string, 5> cells = fileRowCells(facts);
    std::fill(rowTexts_.begin(), rowTexts_.end(), std::string_view());
    for (std::size_t i = 0; i < kFileRowKeys.size(); ++i)
        if (const std::int32_t column = fileRowColumns_[i]; column >= 0)
            rowTexts_[static_cast<std::size_t>(column)] = cells[i];
    model_->setRowCells(position, rowTexts_);
    model_->setRecord(position, FileRowRecord::fromFacts(facts));
    estimateAddedRow(position);
    return {};
}

bool GridWidget::WidthKey::matches(const GridWidget& grid, std::int32_t tableRows) const {
    return revision == grid.contentsRevision_ && rows == tableRows &&
           pixelRatio == grid.viewport()->devicePixelRatioF() && font == grid.font();
}

GridWidget::WidthKey GridWidget::currentWidthKey() const {
    return {contentsRevision_, model_->tableRows(), font(), viewport()->devicePixelRatioF()};
}

void GridWidget::estimateAddedRow(std::int32_t row) {
    // Only rows appended to a grid whose every row has been estimated: the first row of an
    // emptied grid starts afresh, anything else leaves the fitting to a whole pass. The font and
    // the pixel ratio stay as they were when the estimate began: asking the widget for them per
    // row cost a search of the screens each time, and the key's whole check where the widths
    // are used turns away an estimate made for another font or screen.
    if (runningWidths_ && runningWidthsKey_.revision == contentsRevision_ &&
        runningWidthsKey_.rows == row) {
        runningWidths_->addRow(row, rowTexts_);
        runningWidthsKey_.rows = model_->tableRows();
    } else if (row == 1) {
        runningWidths_.emplace(font(), viewport(), model_->cells().columnCount());
        runningWidths_->addRow(row, rowTexts_);
        runningWidthsKey_ = currentWidthKey();
    } else {
        runningWidths_.reset();
    }
}

qreal GridWidget::widestTextInColumn(int column) const {
    const std::int32_t rows = model_->tableRows();
    if (!widest_ || !widest_->key.matches(*this, rows)) {
        if (runningWidths_ && runningWidthsKey_.matches(*this, rows)) {
            widest_ = WidestTexts{runningWidths_->widestTexts(model_->cells()), currentWidthKey()};
        } else {
            TextWidthEstimate estimate(font(), viewport(), model_->cells().columnCount());
            const CellTable& cells = model_->cells();
            std::vector<std::int32_t> columns(static_cast<std::size_t>(cells.columnCount()));
            for (std::size_t i = 0; i < columns.size(); ++i)
                columns[i] = static_cast<std::int32_t>(i);
            std::vector<std::string_view> texts(columns.size());
            for (std::int32_t row = 1; row < cells.rowCount(); ++row) {
                cells.cells(row, columns, texts);
                estimate.addRow(row, texts);
            }
            widest_ = WidestTexts{estimate.widestTexts(cells), currentWidthKey()};
        }
    }
    return widest_->widths[static_cast<std::size_t>(column)];
}

int GridWidget::cellWidthForText(qreal textWidth) const {
    // The item view insets its text by the focus frame's margin and one pixel on either side,
    // and the grid line takes a pixel of the cell. The one pixel more absorbs rounding where the
    // text is laid out at a fractional scale factor.
    const int textMargin = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
    const int gridLine = showGrid() ? 1 : 0;
    return static_cast<int>(std::ceil(textWidth)) + 2 * textMargin + gridLine + 1;
}

Status GridWidget::AutoSize(std::int32_t column) {
    if (column < 0 || column >= model_->cells().columnCount())
        return subscriptOutOfRange();
    const int cellWidth = cellWidthForText(widestTextInColumn(column));
    setColumnWidth(column, std::max(cellWidth, headerTextWidth(column, SortMark::Included)));
    fittedAt_[column] = contentsRevision_;
    return {};
}

void GridWidget::widenToContents() {
    for (int column = 1; column < model_->cells().columnCount(); ++column) {
        if (auto fitted = fittedAt_.find(column);
            fitted != fittedAt_.end() && fitted->second == contentsRevision_)
            continue;
        if (const int needed = cellWidthForText(widestTextInColumn(column));
            columnWidth(column) < needed)
            setColumnWidth(column, needed);
        fittedAt_[column] = contentsRevision_;
    }
}

int GridWidget::headerTextWidth(int column, SortMark mark) const {
    return headerSectionWidthFor(*horizontalHeader(), column,
                                 model_->headerData(column, Qt::Horizontal).toString(),
                                 mark == SortMark::Included);
}

void GridWidget::widenToHeaderText(int column) {
    if (column < 0 || column >= model_->columnCount())
        return;
    // The sorted column keeps room for its arrow when its caption changes language.
    const SortMark mark = horizontalHeader()->sortIndicatorSection() == column ? SortMark::Included
                                                                               : SortMark::Excluded;
    if (const int needed = headerTextWidth(column, mark); columnWidth(column) < needed)
        setColumnWidth(column, needed);
}

void GridWidget::SetRedraw(RedrawMode mode) {
    if (mode == RedrawMode::Suspended) {
        setUpdatesEnabled(false);
        model_->suspendNotifications();
        return;
    }
    model_->resumeNotifications();
    // A column left at its designed width still shows each of its values whole.
    widenToContents();
    setUpdatesEnabled(true);
    viewport()->update();
    horizontalHeader()->viewport()->update();
}

void GridWidget::SetWidth(float twips) {
    widthTwips_ = twips;
    resize(pixelsFromTwipsX(*this, twips), height());
}

void GridWidget::SetHeight(float twips) {
    heightTwips_ = twips;
    resize(width(), pixelsFromTwipsY(*this, twips));
}

void GridWidget::setColumnWidthTwips(int column, float twips) {
    setColumnWidth(column, pixelsFromTwipsX(*this, twips));
}

std::string GridWidget::selectedRowsAsCsv() const {
    std::vector<int> rows;
    if (const QItemSelectionModel* selection = selectionModel())
        // By ranges rather than whole selected rows: a fact column shown after the selection
        // was made is not selected in it, and the row is still what the user chose.
        for (const QItemSelectionRange& range : selection->selection())
            for (int row = range.top(); row <= range.bottom(); ++row)
                if (row < model_->shownRowCount())
                    rows.push_back(model_->dataRowOfShown(row) + 1);
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());

    std::string text;
    const CellTable& cells = model_->cells();
    std::array<std::string_view, kFileRowKeys.size()> texts;
    for (int row : rows) {
        if (row >= cells.rowCount())
            continue;
        for (std::size_t i = 0; i < kFileRowKeys.size(); ++i) {
            const std::int32_t column = fileRowColumns_[i];
            texts[i] = column >= 0 ? std::string_view(cells.cell(row, column)) : std::string_view();
        }
        appendCsvLine(text, texts);
    }
    return text;
}

void GridWidget::copySelectionToClipboard() const {
    const std::string text = selectedRowsAsCsv();
    if (!text.empty())
        QApplication::clipboard()->setText(
            QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

void GridWidget::fitRowHeightToFont() {
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
}

void GridWidget::changeEvent(QEvent* event) {
    QTableView::changeEvent(event);
    // A language's face may be taller than the one the rows were made for.
    if (event->type() == QEvent::FontChange)
        fitRowHeightToFont();
}

void GridWidget::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Copy)) {
        copySelectionToClipboard();
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

} // namespace tambrel
