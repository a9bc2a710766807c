// The totals window: for each list, one line per codec and sample rate and one per problem, with
// its files, bytes and share of the list and a bar showing the share, sortable by every column.
// Picking lines narrows that list's grid to their files; Copy puts both tables on the clipboard
// as CSV lines. It reads the grids' row records and follows every reload through refresh().
#pragma once

#include "common/file_facts.h"
#include "ui/list_totals.h"
#include "ui/row_filter.h"

#include <functional>
#include <QAbstractTableModel>
#include <QStyledItemDelegate>
#include <QWidget>
#include <string>
#include <vector>

class QLabel;
class QPushButton;
class QTableView;

namespace tambrel {

class GridWidget;

// The lines of one list as a table; sorting reorders the lines themselves.
class TotalsModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    void setRows(std::vector<TotalsRow> rows);
    const std::vector<TotalsRow>& rows() const { return rows_; }
    // The captions of the five columns, in column order.
    void setCaptions(const QStringList& captions);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    // The role under which the share column gives its value, 0 to 1, to the bar.
    static constexpr int kShareRole = Qt::UserRole + 1;

private:
    std::vector<TotalsRow> rows_;
    QStringList captions_;
    int sortColumn_ = -1;
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
};

// Paints the share column: a bar as long as the share of the cell's width behind the text.
class ShareBarDelegate final : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
};

class frmTotals final : public QWidget {
    Q_OBJECT
public:
    explicit frmTotals(QWidget* parent = nullptr);
    ~frmTotals() override;

    // The grids whose rows are counted; not owned.
    void setGrids(GridWidget* greetings, GridWidget* prompts);
    // Told the groups picked in a list's table whenever the pick changes; an empty pick shows
    // every row again.
    using GroupsPicked = std::function<void(FileList, std::vector<RowGroup>)>;
    void setGroupsPicked(GroupsPicked picked) { groupsPicked_ = std::move(picked); }

    // Counts the grids' rows again; the picks are dropped, as the lines may be others now.
    void refresh();
    // Fonts and captions of the language. Called by name after a language switch.
    Q_INVOKABLE void frmTotals_Auto_Init();

    // Both tables as CSV lines, after a line of the captions, in the order shown.
    std::string tablesAsCsv() const;
    void cmdCopy_Click();

    QTableView& table(FileList list) {
        return list == FileList::Greetings ? *greetings_ : *prompts_;
    }
    TotalsModel& model(FileList list) {
        return list == FileList::Greetings ? *greetingsModel_ : *promptsModel_;
    }

private:
    QTableView* makeTable(const char* name, TotalsModel* model, FileList list);
    std::vector<TotalsRow> rowsOf(const GridWidget& grid) const;
    void tellPicked(FileList list);
    void fitColumns();

    QLabel* lblGreetings_;
    QLabel* lblPrompts_;
    TotalsModel* greetingsModel_;
    TotalsModel* promptsModel_;
    QTableView* greetings_;
    QTableView* prompts_;
    QPushButton* cmdCopy_;
    QPushButton* cmdClose_;
    GridWidget* greetingsGrid_ = nullptr;
    GridWidget* promptsGrid_ = nullptr;
    GroupsPicked groupsPicked_;
};

} // namespace tambrel
