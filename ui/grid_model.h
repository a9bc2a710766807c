// The item model behind a grid widget: the cells live in one CellTable (row 0 the header row,
// data rows below it), never one object per cell. While drawing is suspended, appended rows
// are announced to the view in one notification when drawing resumes.
#pragma once

#include "common/cell_table.h"
#include "ui/file_row_record.h"
#include "ui/grid_sort_keys.h"

#include <QAbstractTableModel>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tambrel {

class GridModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    // keys[i] names column i; an empty key marks the keyless leading column.
    explicit GridModel(std::vector<std::string> keys, QObject* parent = nullptr);

    // The view's side: data row r of the table is model row r - 1; headers come from row 0.
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // Stable; reorders the stored rows themselves, so whoever reads the cells by row number
    // (the export) sees them in the order shown.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    // The grid's side, in table rows (header row included).
    const CellTable& cells() const { return cells_; }
    std::int32_t tableRows() const { return cells_.rowCount(); }
    const std::vector<std::string>& keys() const { return keys_; }
    std::int32_t columnForKey(std::string_view key) const;
    void setCell(std::int32_t row, int column, std::string_view text);
    // Every cell of data row `row`, in column order: one write, one notification.
    void setRowCells(std::int32_t row, std::span<const std::string_view> texts);
    void insertRow(std::int32_t position);
    // Keeps the first `rows` table rows (at least the header row).
    void truncate(std::int32_t rows);
    // The facts a file row came with: sorting by its number and date columns compares them
    // instead of reading the cell texts back, and the fact columns and the filter read them. A
    // table row without them (cells written one by one) makes the whole column sort by its texts.
    void setRecord(std::int32_t row, const FileRowRecord& record);
    // One per data row, in table order (data row r is table row r + 1).
    const std::vector<FileRowRecord>& records() const { return records_; }

    void suspendNotifications();
    // Announces everything that changed meanwhile: one insertion, or one reset when rows the
    // view already knew were removed or moved.
    void resumeNotifications();
    bool notificationsSuspended() const { return suspended_; }

private:
    std::int32_t dataRows() const { return cells_.rowCount() - 1; }

    std::vector<std::string> keys_;
    std::vector<SortKind> sortKinds_;
    CellTable cells_;
    DateFieldOrder dateOrder_;
    // One entry per data row, in table order; typedRows_ of them came with their facts.
    std::vector<FileRowRecord> records_;
    std::int32_t typedRows_ = 0;
    // The typed value of `column` for every data row, when every row has one.
    bool typedSortKeys(int column, std::vector<std::int64_t>& keys) const;

    bool suspended_ = false;
    // Data rows the view has been told about; differs from dataRows() only while suspended.
    std::int32_t announcedRows_ = 0;
    bool resetPending_ = false;
    bool announcedCellsChanged_ = false;
    bool headerChanged_ = false;
};

} // namespace tambrel
