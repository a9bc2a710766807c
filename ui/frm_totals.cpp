#include "ui/frm_totals.h"

#include "export/csv_writer.h"
#include "localize/language_state.h"
#include "localize/own_texts.h"
#include "ui/caption_access_keys.h"
#include "ui/fact_columns.h"
#include "ui/form_localization.h"
#include "ui/form_registry.h"
#include "ui/grid_widget.h"
#include "ui/keyboard_focus.h"

#include <algorithm>
#include <QApplication>
#include <QClipboard>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLocale>
#include <QPainter>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace tambrel {
namespace {

QString qtText(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString ownText(std::int32_t id) {
    return qtText(mymyLoadString(id));
}

enum Column { kLabel, kSampleRate, kFiles, kBytes, kShare, kColumns };

} // namespace

void TotalsModel::setRows(std::vector<TotalsRow> rows) {
    beginResetModel();
    rows_ = std::move(rows);
    if (sortColumn_ >= 0)
        sortTotalsRows(rows_, static_cast<TotalsColumn>(sortColumn_),
                       sortOrder_ == Qt::DescendingOrder);
    endResetModel();
}

void TotalsModel::setCaptions(const QStringList& captions) {
    captions_ = captions;
    emit headerDataChanged(Qt::Horizontal, 0, kColumns - 1);
}

int TotalsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int TotalsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumns;
}

QVariant TotalsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= static_cast<int>(rows_.size()))
        return {};
    const TotalsRow& row = rows_[static_cast<std::size_t>(index.row())];
    if (role == kShareRole)
        return row.share;
    if (role == Qt::TextAlignmentRole)
        return index.column() == kLabel ? QVariant(Qt::AlignLeft | Qt::AlignVCenter)
                                        : QVariant(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole)
        return {};
    const QLocale locale;
    switch (index.column()) {
    case kLabel:
        return qtText(row.label);
    case kSampleRate:
        return qtText(row.sampleRate).trimmed();
    case kFiles:
        return locale.toString(static_cast<qlonglong>(row.files));
    case kBytes:
        return locale.toString(static_cast<qlonglong>(row.bytes));
    case kShare:
        return locale.toString(row.share * 100.0, 'f', 1) + QStringLiteral(" %");
    default:
        return {};
    }
}

QVariant TotalsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= captions_.size())
        return {};
    return captions_[section];
}

void TotalsModel::sort(int column, Qt::SortOrder order) {
    if (column >= kColumns)
        return;
    sortColumn_ = column;
    if (column < 0)
        return;
    sortOrder_ = order;
    emit layoutAboutToBeChanged();
    const std::vector<TotalsRow> before = rows_;
    sortTotalsRows(rows_, static_cast<TotalsColumn>(column), order == Qt::DescendingOrder);
    // Each line is its own group: the picked lines stay picked wherever they move.
    const QModelIndexList persistent = persistentIndexList();
    QModelIndexList moved;
    for (const QModelIndex& index : persistent) {
        const RowGroup& group = before[static_cast<std::size_t>(index.row())].group;
        const auto found = std::find_if(rows_.begin(), rows_.end(),
                                        [&](const TotalsRow& row) { return row.group == group; });
        moved << this->index(static_cast<int>(found - rows_.begin()), index.column());
    }
    changePersistentIndexList(persistent, moved);
    emit layoutChanged();
}

void ShareBarDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
    QStyleOptionViewItem item(option);
    initStyleOption(&item, index);
    const QString text = item.text;
    item.text.clear();
    const QWidget* widget = option.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &item, painter, widget);

    const double share = std::clamp(index.data(TotalsModel::kShareRole).toDouble(), 0.0, 1.0);
    QRect bar = item.rect.adjusted(2, 3, -2, -3);
    bar.setWidth(static_cast<int>(bar.width() * share));
    painter->save();
    const bool selected = (item.state & QStyle::State_Selected) != 0;
    QColor colour = item.palette.color(selected ? QPalette::HighlightedText : QPalette::Highlight);
    colour.setAlphaF(0.35f);
    painter->fillRect(bar, colour);
    painter->setPen(item.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
    painter->drawText(item.rect.adjusted(4, 0, -4, 0), Qt::AlignRight | Qt::AlignVCenter, text);
    painter->restore();
}

frmTotals::frmTotals(QWidget* parent)
    : QWidget(parent, Qt::Window), lblGreetings_(new QLabel(this)), lblPrompts_(new QLabel(this)),
      greetingsModel_(new TotalsModel(this)), promptsModel_(new TotalsModel(this)),
      cmdCopy_(new QPushButton(this)), cmdClose_(new QPushButton(this)) {
    setObjectName(QStringLiteral("frmTotals"));
    showKeyboardFocus(*this);
    lblGreetings_->setObjectName(QStringLiteral("lblGreetingsTotals"));
    lblPrompts_->setObjectName(QStringLiteral("lblPromptsTotals"));
    cmdCopy_->setObjectName(QStringLiteral("cmdCopy"));
    cmdClose_->setObjectName(QStringLiteral("cmdClose"));
    greetings_ = makeTable("tblGreetingsTotals", greetingsModel_, FileList::Greetings);
    prompts_ = makeTable("tblPromptsTotals", promptsModel_, FileList::Prompts);
    lblGreetings_->setBuddy(greetings_);
    lblPrompts_->setBuddy(prompts_);
    connect(cmdCopy_, &QPushButton::clicked, this, [this] { cmdCopy_Click(); });
    connect(cmdClose_, &QPushButton::clicked, this, &QWidget::close);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblGreetings_);
    layout->addWidget(greetings_, 1);
    layout->addWidget(lblPrompts_);
    layout->addWidget(prompts_, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdCopy_);
    buttons->addWidget(cmdClose_);
    layout->addLayout(buttons);
    setTabOrder(greetings_, prompts_);
    setTabOrder(prompts_, cmdCopy_);
    setTabOrder(cmdCopy_, cmdClose_);
    resize(640, 520);

    registerForm(this);
    frmTotals_Auto_Init();
}

frmTotals::~frmTotals() {
    unregisterForm(this);
}

QTableView* frmTotals::makeTable(const char* name, TotalsModel* model, FileList list) {
    auto* table = new QTableView(this);
    table->setObjectName(QString::fromLatin1(name));
    table->setModel(model);
    table->setItemDelegateForColumn(kShare, new ShareBarDelegate(table));
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setTabKeyNavigation(false);
    table->setWordWrap(false);
    // Unsorted until the user asks: the lines come in the order the rows do.
    table->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    table->setSortingEnabled(true);
    table->horizontalHeader()->setSectionResizeMode(kLabel, QHeaderView::Stretch);
    table->verticalHeader()->hide();
    connect(table->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this, list] { tellPicked(list); });
    return table;
}

void frmTotals::setGrids(GridWidget* greetings, GridWidget* prompts) {
    greetingsGrid_ = greetings;
    promptsGrid_ = prompts;
    refresh();
}

std::vector<TotalsRow> frmTotals::rowsOf(const GridWidget& grid) const {
    const GridModel& model = grid.gridModel();
    const ListTotals totals = computeListTotals(model.records());
    const std::int32_t codecColumn = model.columnForKey("Codec");
    const std::int32_t rateColumn = model.columnForKey("SampleRate");
    auto cellOf = [&](std::int32_t recordIndex, std::int32_t column) {
        return column < 0 ? std::string()
                          : std::string(model.cells().cell(recordIndex + 1, column));
    };
    std::vector<TotalsRow> rows;
    rows.reserve(totals.lines.size());
    const FactTexts problemTexts = FactTexts::inCurrentLanguage();
    for (const TotalsLine& line : totals.lines) {
        TotalsRow row;
        row.group = line.group;
        row.files = line.files;
        row.bytes = line.bytes;
        row.share = shareOfList(line, totals);
        if (line.group.kind == RowGroup::Kind::CodecAndRate) {
            row.label = cellOf(line.firstRow, codecColumn);
            row.sampleRate = cellOf(line.firstRow, rateColumn);
        } else {
            // The same short reason as the grids' Problem column, in the user's language.
            row.label =
                problemTexts.problems[static_cast<std::size_t>(line.group.problem) % kWavProblems]
                    .toStdString();
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

void frmTotals::refresh() {
    greetingsModel_->setRows(greetingsGrid_ ? rowsOf(*greetingsGrid_) : std::vector<TotalsRow>());
    promptsModel_->setRows(promptsGrid_ ? rowsOf(*promptsGrid_) : std::vector<TotalsRow>());
    fitColumns();
    if (groupsPicked_) {
        groupsPicked_(FileList::Greetings, {});
        groupsPicked_(FileList::Prompts, {});
    }
}

void frmTotals::tellPicked(FileList list) {
    if (!groupsPicked_)
        return;
    const TotalsModel& picked = model(list);
    std::vector<RowGroup> groups;
    for (const QModelIndex& index : table(list).selectionModel()->selectedRows())
        groups.push_back(picked.rows()[static_cast<std::size_t>(index.row())].group);
    groupsPicked_(list, std::move(groups));
}

void frmTotals::frmTotals_Auto_Init() {
    LocalizeFormFonts(this);
    setWindowTitle(ownText(texts::kTotalsCommand));
    lblGreetings_->setText(ownText(19));
    lblPrompts_->setText(ownText(25));
    const QStringList captions{
        ownText(texts::kTotalsGroupColumn), ownText(37), ownText(texts::kTotalsFilesColumn),
        ownText(texts::kTotalsBytesColumn), ownText(texts::kTotalsShareColumn)};
    greetingsModel_->setCaptions(captions);
    promptsModel_->setCaptions(captions);
    setCaptionsWithAccessKeys({{cmdCopy_, texts::kTotalsCopy}, {cmdClose_, texts::kTotalsClose}});
    fitColumns();
}

void frmTotals::fitColumns() {
    // A handful of lines: asking the view for every cell's size costs nothing here. The share
    // column keeps room for its bar to tell shares apart.
    for (QTableView* table : {greetings_, prompts_}) {
        for (int column = kSampleRate; column < kColumns; ++column)
            table->resizeColumnToContents(column);
        table->setColumnWidth(kShare, std::max(table->columnWidth(kShare),
                                               table->fontMetrics().averageCharWidth() * 18));
    }
}

std::string frmTotals::tablesAsCsv() const {
    std::string text;
    const std::string captions[] = {mymyLoadString(texts::kTotalsListColumn),
                                    mymyLoadString(texts::kTotalsGroupColumn),
                                    mymyLoadString(37),
                                    mymyLoadString(texts::kTotalsFilesColumn),
                                    mymyLoadString(texts::kTotalsBytesColumn),
                                    mymyLoadString(texts::kTotalsShareColumn)};
    const std::vector<std::string_view> heading(std::begin(captions), std::end(captions));
    appendCsvLine(text, heading);
    appendTotalsCsv(text, mymyLoadString(19), greetingsModel_->rows());
    appendTotalsCsv(text, mymyLoadString(25), promptsModel_->rows());
    return text;
}

void frmTotals::cmdCopy_Click() {
    QApplication::clipboard()->setText(qtText(tablesAsCsv()));
}

} // namespace tambrel
