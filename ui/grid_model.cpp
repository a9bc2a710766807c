#include "ui/grid_model.h"

#include "common/ascii_case.h"
#include "common/text/utf16_text.h"
#include "platform/text/short_date.h"

#include <algorithm>
#include <array>
#include <numeric>
#include <QApplication>
#include <QPalette>

namespace tambrel {
namespace {

QString qtText(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Unicode case folding for the filter, for the texts beyond ASCII alone: code point by code point
// into a buffer the filter reuses, so that a row beyond ASCII costs no allocation. A broken
// sequence's bytes are kept as they are.
void foldedInFull(std::string_view text, std::string& folded) {
    folded.clear();
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        char32_t code = 0;
        const std::size_t length = lead < 0x80 ? 0 : decodeUtf8Sequence(text.substr(i), code);
        if (length == 0) {
            // ASCII, or a byte of a broken sequence.
            folded.push_back(static_cast<char>(asciiLower(lead)));
            ++i;
            continue;
        }
        appendCodePointAsUtf8(QChar::toCaseFolded(code), folded);
        i += length;
    }
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
    for (std::string_view key : {"FileName", "Codec", "SampleRate"})
        if (const std::int32_t column = columnForKey(key); column >= 0)
            searchedColumns_.push_back(column);
}

int GridModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid())
        return 0;
    return filtered_ ? static_cast<int>(shown_.size()) : announcedRows_;
}

int GridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : cellColumns() + static_cast<int>(factColumns_.size());
}

std::optional<FactColumn> GridModel::factAt(int column) const {
    const int fact = column - cellColumns();
    if (fact < 0 || fact >= static_cast<int>(factColumns_.size()))
        return std::nullopt;
    return factColumns_[static_cast<std::size_t>(fact)];
}

QVariant GridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount())
        return {};
    const std::int32_t row = dataRowOfShown(index.row()) + 1;
    if (row >= cells_.rowCount())
        return {};
    if (const std::optional<FactColumn> fact = factAt(index.column())) {
        switch (role) {
        case Qt::DisplayRole:
        case Qt::ToolTipRole:
            return factText(*fact, records_[static_cast<std::size_t>(row - 1)], factTexts_);
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(Qt::AlignVCenter |
                                       (isNumberFact(*fact) ? Qt::AlignRight : Qt::AlignLeft));
        default:
            return {};
        }
    }
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
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount())
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role != Qt::DisplayRole)
        return {};
    if (const std::optional<FactColumn> fact = factAt(section))
        return factTexts_.captions[static_cast<std::size_t>(*fact)];
    return qtText(cells_.cell(0, section));
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
    if (const int shownRow = shownRowOfData(row - 1); shownRow >= 0) {
        const QModelIndex changed = index(shownRow, column);
        emit dataChanged(changed, changed, {Qt::DisplayRole});
    }
    rematch(row - 1);
}

void GridModel::setRowCells(std::int32_t row, std::span<const std::string_view> texts) {
    cells_.setRow(row, texts);
    if (row - 1 >= announcedRows_)
        return; // announced with its row when drawing resumes
    if (suspended_) {
        announcedCellsChanged_ = true;
        return;
    }
    if (const int shownRow = shownRowOfData(row - 1); shownRow >= 0)
        emit dataChanged(index(shownRow, 0), index(shownRow, columnCount() - 1), {Qt::DisplayRole});
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
    if (filtered_) {
        // The new row has no texts yet to match; the filter is applied to it afresh.
        beginResetModel();
        cells_.insertRow(position);
        announcedRows_ = dataRows();
        applyFilter(false);
        endResetModel();
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
    rematch(row - 1);
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
    if (filtered_)
        applyFilter(false);
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
    // Rows that came meanwhile are matched by the filter before the view sees them.
    if (resetPending_ || (filtered_ && (dataRows() > announcedRows_ || announcedCellsChanged_))) {
        beginResetModel();
        announcedRows_ = dataRows();
        if (filtered_)
            applyFilter(false);
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
    if (column < 0 || column >= columnCount())
        return;
    const std::optional<FactColumn> fact = factAt(column);
    const SortKind kind = fact ? (isNumberFact(*fact) ? SortKind::Number : SortKind::Text)
                               : sortKinds_[static_cast<std::size_t>(column)];
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
        std::string folded;
        std::vector<std::size_t> ends(static_cast<std::size_t>(rows));
        if (fact) {
            // A fact column's few distinct texts are made once each row, as they are drawn.
            for (std::int32_t r = 0; r < rows; ++r) {
                const QString text =
                    factText(*fact, records_[static_cast<std::size_t>(r)], factTexts_);
                appendCaseFolded(text.toStdString(), folded);
                ends[static_cast<std::size_t>(r)] = folded.size();
            }
        } else {
            std::size_t total = 0;
            for (std::int32_t r = 0; r < rows; ++r)
                total += cells_.cell(r + 1, column).size();
            folded.reserve(total);
            for (std::int32_t r = 0; r < rows; ++r) {
                appendCaseFolded(cells_.cell(r + 1, column), folded);
                ends[static_cast<std::size_t>(r)] = folded.size();
            }
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
        if (fact) {
            values.resize(static_cast<std::size_t>(rows));
            for (std::size_t r = 0; r < values.size(); ++r)
                values[r] = factSortKey(*fact, records_[r]);
        } else if (!typedSortKeys(column, values)) {
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
    // The filter shows the same rows as before, now in their new order.
    std::vector<std::int32_t> shownBefore;
    if (filtered_) {
        std::vector<bool> shown(permutation.size(), false);
        for (std::int32_t row : shown_)
            shown[static_cast<std::size_t>(row)] = true;
        shownBefore.swap(shown_);
        shown_.reserve(shownBefore.size());
        for (std::size_t i = 0; i < permutation.size(); ++i)
            if (shown[static_cast<std::size_t>(permutation[i])])
                shown_.push_back(static_cast<std::int32_t>(i));
    }
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& old : before) {
        if (!filtered_) {
            after.push_back(old.row() < rows
                                ? index(newRowOf[static_cast<std::size_t>(old.row())], old.column())
                                : old);
            continue;
        }
        const auto oldRow = static_cast<std::size_t>(old.row());
        const int newRow =
            oldRow < shownBefore.size()
                ? shownRowOfData(newRowOf[static_cast<std::size_t>(shownBefore[oldRow])])
                : -1;
        after.push_back(newRow >= 0 ? index(newRow, old.column()) : QModelIndex());
    }
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

int GridModel::shownRowOfData(std::int32_t dataRow) const {
    if (!filtered_)
        return dataRow < announcedRows_ ? dataRow : -1;
    // The shown rows keep the table's order, so a binary search finds a row's place.
    const auto found = std::lower_bound(shown_.begin(), shown_.end(), dataRow);
    if (found == shown_.end() || *found != dataRow)
        return -1;
    return static_cast<int>(found - shown_.begin());
}

void GridModel::setRowFilter(RowFilter filter) {
    if (filter == filter_)
        return;
    const bool amongShown = filtered_ && narrows(filter, filter_);
    filter_ = std::move(filter);
    beginResetModel();
    applyFilter(amongShown);
    endResetModel();
}

void GridModel::applyFilter(bool amongShown) {
    const RowMatcher matcher(filter_, foldedInFull);
    if (matcher.passesEverything()) {
        filtered_ = false;
        std::vector<std::int32_t>().swap(shown_);
        return;
    }
    std::vector<std::int32_t> next;
    if (amongShown) {
        next.reserve(shown_.size());
        for (std::int32_t row : shown_)
            if (passes(matcher, row))
                next.push_back(row);
    } else {
        // Room for every row at once: growing by doubling would copy the list a few times
        // over and leave up to twice the room behind.
        next.reserve(static_cast<std::size_t>(announcedRows_));
        for (std::int32_t row = 0; row < announcedRows_; ++row)
            if (passes(matcher, row))
                next.push_back(row);
    }
    shown_.swap(next);
    filtered_ = true;
}

bool GridModel::passes(const RowMatcher& matcher, std::int32_t dataRow) const {
    std::array<std::string_view, 3> texts;
    cells_.cells(dataRow + 1, searchedColumns_,
                 std::span<std::string_view>(texts.data(), searchedColumns_.size()));
    return matcher.matches(records_[static_cast<std::size_t>(dataRow)], texts[0], texts[1],
                           texts[2]);
}

void GridModel::rematch(std::int32_t dataRow) {
    if (!filtered_ || suspended_ || dataRow < 0 || dataRow >= announcedRows_)
        return;
    const bool passing = passes(RowMatcher(filter_, foldedInFull), dataRow);
    const auto at = std::lower_bound(shown_.begin(), shown_.end(), dataRow);
    const bool shown = at != shown_.end() && *at == dataRow;
    if (passing == shown)
        return;
    const int position = static_cast<int>(at - shown_.begin());
    if (passing) {
        beginInsertRows({}, position, position);
        shown_.insert(at, dataRow);
        endInsertRows();
    } else {
        beginRemoveRows({}, position, position);
        shown_.erase(at);
        endRemoveRows();
    }
}

bool GridModel::factColumnShown(FactColumn fact) const {
    return std::find(factColumns_.begin(), factColumns_.end(), fact) != factColumns_.end();
}

int GridModel::columnOfFact(FactColumn fact) const {
    const auto found = std::find(factColumns_.begin(), factColumns_.end(), fact);
    if (found == factColumns_.end())
        return -1;
    return cellColumns() + static_cast<int>(found - factColumns_.begin());
}

void GridModel::setFactColumnShown(FactColumn fact, bool shown) {
    if (factColumnShown(fact) == shown)
        return;
    const auto place = std::lower_bound(factColumns_.begin(), factColumns_.end(), fact);
    const int column = cellColumns() + static_cast<int>(place - factColumns_.begin());
    if (shown) {
        beginInsertColumns({}, column, column);
        factColumns_.insert(place, fact);
        endInsertColumns();
    } else {
        beginRemoveColumns({}, column, column);
        factColumns_.erase(place);
        endRemoveColumns();
    }
}

void GridModel::setFactTexts(FactTexts texts) {
    factTexts_ = std::move(texts);
    if (factColumns_.empty())
        return;
    emit headerDataChanged(Qt::Horizontal, cellColumns(), columnCount() - 1);
    if (rowCount() > 0)
        emit dataChanged(index(0, cellColumns()), index(rowCount() - 1, columnCount() - 1),
                         {Qt::DisplayRole});
}

} // namespace tambrel
