#include "ui/grid_model.h"

#include "common/ascii_case.h"
#include "platform/text/short_date.h"

#include <algorithm>
#include <numeric>
#include <QApplication>
#include <QPalette>

namespace tambrel {
namespace {

QString qtText(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The order of the date fields follows the short date the file rows were written with.
DateFieldOrder shortDateFieldOrder() {
    static const DateFieldOrder order =
        dateFieldOrder(ShortDateFormatter(timeLocaleName()).pattern());
    return order;
}

} // namespace

GridModel::GridModel(std::vector<std::string> keys, QObject* parent)
    : QAbstractTableModel(parent), keys_(std::move(keys)),
      cells_(static_cast<int>(std::max<std::size_t>(keys_.size(), 1))),
      dateOrder_(shortDateFieldOrder()) {
    for (const std::string& key : keys_)
        sortKinds_.push_back(sortKindForKey(key));
    cells_.appendRow(); // the header row
}

int GridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : announcedRows_;
}

int GridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : cells_.columnCount();
}

QVariant GridModel::data(const QModelIndex& index, int role) const {
    const std::int32_t row = index.row() + 1;
    if (!index.isValid() || row >= cells_.rowCount() || index.column() >= cells_.columnCount())
        return {};
    const SortKind kind = sortKinds_[static_cast<std::size_t>(index.column())];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        return qtText(cells_.cell(row, index.column()));
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::AlignVCenter |
                                   (kind == SortKind::Number ? Qt::AlignRight : Qt::AlignLeft));
    case Qt::BackgroundRole:
        // The keyless leading column looks like the fixed column it is.
        if (kind == SortKind::None)
            return QApplication::palette().button();
        return {};
    default:
        return {};
    }
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= cells_.columnCount())
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole)
        return qtText(cells_.cell(0, section));
    return {};
}

Qt::ItemFlags GridModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

std::int32_t GridModel::columnForKey(std::string_view key) const {
    for (std::size_t i = 0; i < keys_.size(); ++i)
        if (!keys_[i].empty() && equalIgnoringAsciiCase(keys_[i], key))
            return static_cast<std::int32_t>(i);
    return -1;
}

void GridModel::setCell(std::int32_t row, int column, std::string_view text) {
    cells_.setCell(row, column, text);
    if (row == 0) {
        if (suspended_)
            headerChanged_ = true;
        else
            emit headerDataChanged(Qt::Horizontal, column, column);
        return;
    }
    if (row - 1 >= announcedRows_)
        return; // announced with its row when drawing resumes
    if (suspended_) {
        announcedCellsChanged_ = true;
        return;
    }
    const QModelIndex changed = index(row - 1, column);
    emit dataChanged(changed, changed, {Qt::DisplayRole});
}

void GridModel::setRowCells(std::int32_t row, std::span<const std::string_view> texts) {
    cells_.setRow(row, texts);
    if (row - 1 >= announcedRows_)
        return; // announced with its row when drawing resumes
    if (suspended_) {
        announcedCellsChanged_ = true;
        return;
    }
    emit dataChanged(index(row - 1, 0), index(row - 1, cells_.columnCount() - 1),
                     {Qt::DisplayRole});
}

void GridModel::insertRow(std::int32_t position) {
    const bool append = position == cells_.rowCount();
    if (position >= 1 && static_cast<std::size_t>(position - 1) <= records_.size())
        records_.insert(records_.begin() + (position - 1), FileRowRecord{});
    if (suspended_) {
        // Appended rows wait for the one announcement; a row slipped in among the rows the
        // view already shows moves them, which only a reset can tell it.
        if (!append && position - 1 < announcedRows_)
            resetPending_ = true;
        cells_.insertRow(position);
        return;
    }
    beginInsertRows({}, position - 1, position - 1);
    cells_.insertRow(position);
    ++announcedRows_;
    endInsertRows();
}

void GridModel::setRecord(std::int32_t row, const FileRowRecord& record) {
    if (row < 1 || row > dataRows())
        return;
    records_.resize(static_cast<std::size_t>(dataRows()));
    FileRowRecord& kept = records_[static_cast<std::size_t>(row - 1)];
    typedRows_ += (record.typed() ? 1 : 0) - (kept.typed() ? 1 : 0);
    kept = record;
}

bool GridModel::typedSortKeys(int column, std::vector<std::int64_t>& keys) const {
    const std::int32_t rows = dataRows();
    // Rows inserted among typed ones shift them; only an appended table is kept typed.
    if (typedRows_ != rows || static_cast<std::int32_t>(records_.size()) != rows)
        return false;
    const std::string& key = keys_[static_cast<std::size_t>(column)];
    std::int64_t (FileRowRecord::*member)() const = nullptr;
    if (equalIgnoringAsciiCase(key, "SampleRate"))
        member = &FileRowRecord::sampleRateSortKey;
    else if (equalIgnoringAsciiCase(key, "FileSize"))
        member = &FileRowRecord::sizeSortKey;
    else if (equalIgnoringAsciiCase(key, "LastModified"))
        member = &FileRowRecord::modifiedSortKey;
    else
        return false;
    keys.resize(static_cast<std::size_t>(rows));
    for (std::size_t r = 0; r < keys.size(); ++r)
        keys[r] = (records_[r].*member)();
    return true;
}

void GridModel::truncate(std::int32_t rows) {
    rows = std::max(rows, 1);
    if (rows >= cells_.rowCount())
        return;
    // Removing rows is announced at once even while suspended: one reset, after which the view
    // holds nothing it could look up in vain.
    beginResetModel();
    cells_.truncate(rows);
    if (records_.size() > static_cast<std::size_t>(dataRows())) {
        records_.resize(static_cast<std::size_t>(dataRows()));
        typedRows_ = static_cast<std::int32_t>(std::count_if(
            records_.begin(), records_.end(), [](const FileRowRecord& r) { return r.typed(); }));
    }
    announcedRows_ = std::min(announcedRows_, dataRows());
    if (!suspended_)
        announcedRows_ = dataRows();
    resetPending_ = false;
    announcedCellsChanged_ = false;
    endResetModel();
}

void GridModel::suspendNotifications() {
    suspended_ = true;
}

void GridModel::resumeNotifications() {
    if (!suspended_)
        return;
    suspended_ = false;
    if (resetPending_) {
        beginResetModel();
        announcedRows_ = dataRows();
        resetPending_ = false;
        announcedCellsChanged_ = false;
        headerChanged_ = false;
        endResetModel();
        return;
    }
    if (announcedCellsChanged_ && announcedRows_ > 0)
        emit dataChanged(index(0, 0), index(announcedRows_ - 1, columnCount() - 1),
                         {Qt::DisplayRole});
    announcedCellsChanged_ = false;
    if (dataRows() > announcedRows_) {
        beginInsertRows({}, announcedRows_, dataRows() - 1);
        announcedRows_ = dataRows();
        endInsertRows();
    }
    if (headerChanged_)
        emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
    headerChanged_ = false;
}

void GridModel::sort(int column, Qt::SortOrder order) {
    if (column < 0 || column >= cells_.columnCount())
        return;
    const SortKind kind = sortKinds_[static_cast<std::size_t>(column)];
    const std::int32_t rows = dataRows();
    if (kind == SortKind::None || rows < 2)
        return;

    std::vector<std::int32_t> permutation(static_cast<std::size_t>(rows));
    std::iota(permutation.begin(), permutation.end(), 0);
    const bool descending = order == Qt::DescendingOrder;
    auto sortBy = [&](auto less) {
        if (descending)
            std::stable_sort(permutation.begin(), permutation.end(),
                             [&](std::int32_t a, std::int32_t b) { return less(b, a); });
        else
            std::stable_sort(permutation.begin(), permutation.end(), less);
    };
    if (kind == SortKind::Text) {
        // Every text folded once into one block: the comparisons then run memcmp over
        // neighbouring memory instead of folding letter by letter in rows all over the heap.
        std::size_t total = 0;
        for (std::int32_t r = 0; r < rows; ++r)
            total += cells_.cell(r + 1, column).size();
        std::string folded;
        folded.reserve(total);
        std::vector<std::size_t> ends(static_cast<std::size_t>(rows));
        for (std::int32_t r = 0; r < rows; ++r) {
            appendCaseFolded(cells_.cell(r + 1, column), folded);
            ends[static_cast<std::size_t>(r)] = folded.size();
        }
        std::vector<std::string_view> texts(static_cast<std::size_t>(rows));
        for (std::size_t r = 0; r < texts.size(); ++r) {
            const std::size_t begin = r == 0 ? 0 : ends[r - 1];
            texts[r] = std::string_view(folded).substr(begin, ends[r] - begin);
        }
        sortBy([&](std::int32_t a, std::int32_t b) {
            return texts[static_cast<std::size_t>(a)] < texts[static_cast<std::size_t>(b)];
        });
    } else {
        std::vector<std::int64_t> values;
        if (!typedSortKeys(column, values)) {
            values.resize(static_cast<std::size_t>(rows));
            for (std::int32_t r = 0; r < rows; ++r) {
                const std::string_view text = cells_.cell(r + 1, column);
                values[static_cast<std::size_t>(r)] =
                    kind == SortKind::Number ? numberSortKey(text) : dateSortKey(text, dateOrder_);
            }
        }
        sortBy([&](std::int32_t a, std::int32_t b) {
            return values[static_cast<std::size_t>(a)] < values[static_cast<std::size_t>(b)];
        });
    }

    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    cells_.permuteRows(1, permutation);
    if (records_.size() == permutation.size()) {
        std::vector<FileRowRecord> records(permutation.size());
        for (std::size_t i = 0; i < permutation.size(); ++i)
            records[i] = records_[static_cast<std::size_t>(permutation[i])];
        records_ = std::move(records);
    }
    std::vector<std::int32_t> newRowOf(permutation.size());
    for (std::size_t i = 0; i < permutation.size(); ++i)
        newRowOf[static_cast<std::size_t>(permutation[i])] = static_cast<std::int32_t>(i);
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& old : before)
        after.push_back(old.row() < rows
                            ? index(newRowOf[static_cast<std::size_t>(old.row())], old.column())
                            : old);
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

} // namespace tambrel
