#include "ui/frm_main.h"

#include "export/csv_export.h"
#include "inventory/folder_scan.h"
#include "localize/language_state.h"
#include "localize/own_texts.h"
#include "ui/caption_access_keys.h"
#include "ui/find_bar.h"
#include "ui/form_localization.h"
#include "ui/form_registry.h"
#include "ui/frm_totals.h"
#include "ui/grid_scan_sink.h"
#include "ui/grid_widget.h"
#include "ui/keyboard_focus.h"
#include "ui/program_end.h"
#include "ui/start_report.h"
#include "ui/twips.h"
#include "ui/window_icon.h"

#include <algorithm>
#include <cstdlib>
#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QResizeEvent>

namespace tambrel {
namespace {

QString text(std::int32_t id) {
    return QString::fromStdString(mymyLoadString(id));
}

// Starting widths of the columns (keyless, Codec, FileName, SampleRate, LastModified, FileSize).
constexpr float kGreetingsColumnWidths[] = {150, 540, 810, 1245, 1110, 990};
constexpr float kPromptsColumnWidths[] = {180, 705, 885, 1200, 1065, 960};

void placeInTwips(QWidget& widget, const TwipsRect& place) {
    widget.setGeometry(pixelsFromTwipsX(widget, place.left), pixelsFromTwipsY(widget, place.top),
                       pixelsFromTwipsX(widget, place.width),
                       pixelsFromTwipsY(widget, place.height));
}

void setHeaderTexts(GridWidget& grid) {
    (void)grid.SetCell(0, grid.ColIndex("FileName"), mymyLoadString(36));
    (void)grid.SetCell(0, grid.ColIndex("SampleRate"), mymyLoadString(37));
    (void)grid.SetCell(0, grid.ColIndex("LastModified"), mymyLoadString(38));
    (void)grid.SetCell(0, grid.ColIndex("FileSize"), mymyLoadString(39));
    (void)grid.SetCell(0, grid.ColIndex("Codec"), mymyLoadString(40));
    // Every column keeps its width unless a language's header text would not show whole in it;
    // before the first scan fits them, the fitted columns too.
    for (const char* key : {"Codec", "FileName", "SampleRate", "LastModified", "FileSize"})
        grid.widenToHeaderText(grid.ColIndex(key));
}

// The grid starts below the frame's caption however tall the language's face makes it, and
// gives up as much of its height as it moves down, so that its bottom stays where it was.
void keepGridBelowCaption(QGroupBox& frame, GridWidget& grid, float designTop) {
    const int top = std::max(pixelsFromTwipsY(grid, designTop), frame.contentsRect().top());
    const int bottom = pixelsFromTwipsY(grid, designTop) + pixelsFromTwipsY(grid, grid.Height());
    grid.setGeometry(grid.x(), top, grid.width(), std::max(0, bottom - top));
}

// An open find field sits where the grid's top was; the grid keeps its bottom.
void placeFindBar(FindBar& bar, GridWidget& grid) {
    if (bar.isHidden())
        return;
    const int height = std::min(bar.sizeHint().height(), grid.height() / 2);
    bar.setGeometry(grid.x(), grid.y(), grid.width(), height);
    grid.setGeometry(grid.x(), grid.y() + height, grid.width(), grid.height() - height);
}

} // namespace

frmMain::frmMain(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Tambrel"));
    setWindowIcon(tambrelWindowIcon());
    showKeyboardFocus(*this);
    createMenus();
    createControls();
    resize(pixelsFromTwipsX(*this, kDesignClientWidth),
           pixelsFromTwipsY(*this, kDesignClientHeight) + menuBar()->sizeHint().height());
    registerForm(this);
}

frmMain::~frmMain() {
    unregisterForm(this);
    // The controls are deleted after this body, moving the focus and touching the models as
    // they go: nothing of that may reach a window that is no longer whole.
    disconnect(qApp, nullptr, this, nullptr);
    for (GridWidget* grid : {gridGreetings_, gridPrompts_})
        disconnect(grid->model(), nullptr, this, nullptr);
}

void frmMain::createMenus() {
    auto addAction = [this](QMenu* menu, const char* name, auto handler) {
        QAction* action = menu->addAction(QString());
        action->setObjectName(QString::fromLatin1(name));
        connect(action, &QAction::triggered, this, handler);
        return action;
    };
    // The form's "-" caption means a separator line: a separator with any text would be drawn
    // as a labelled section by some styles.
    auto addSeparator = [](QMenu* menu, const char* name) {
        QAction* separator = menu->addSeparator();
        separator->setObjectName(QString::fromLatin1(name));
    };

    mnuFile_ = menuBar()->addMenu(QString());
    mnuFile_->setObjectName(QStringLiteral("mnuFile"));
    mnuFile_->menuAction()->setObjectName(QStringLiteral("mnuFile"));
    mnuGreetingsToCSV_ =
        addAction(mnuFile_, "mnuGreetingsToCSV", [this] { mnuGreetingsToCSV_Click(); });
    mnuPromptToCSV_ = addAction(mnuFile_, "mnuPromptToCSV", [this] { mnuPromptToCSV_Click(); });
    mnuShownGreetingsToCSV_ =
        addAction(mnuFile_, "mnuShownGreetingsToCSV", [this] { mnuShownGreetingsToCSV_Click(); });
    mnuShownPromptsToCSV_ =
        addAction(mnuFile_, "mnuShownPromptsToCSV", [this] { mnuShownPromptsToCSV_Click(); });
    addSeparator(mnuFile_, "spacer2");
    mnuExit_ = addAction(mnuFile_, "mnuExit", [this] { mnuExit_Click(); });

    mnuView_ = menuBar()->addMenu(QString());
    mnuView_->setObjectName(QStringLiteral("mnuView"));
    mnuView_->menuAction()->setObjectName(QStringLiteral("mnuView"));
    mnuFind_ = addAction(mnuView_, "mnuFind", [this] { mnuFind_Click(); });
    mnuFind_->setShortcut(QKeySequence::Find);
    mnuFind_->setShortcutContext(Qt::WindowShortcut);
    mnuProblemFiles_ = addAction(mnuView_, "mnuProblemFiles", [this] { mnuProblemFiles_Click(); });
    mnuProblemFiles_->setCheckable(true);
    mnuTotals_ = addAction(mnuView_, "mnuTotals", [this] { mnuTotals_Click(); });
    mnuTotals_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_T));
    mnuTotals_->setShortcutContext(Qt::WindowShortcut);

    mnuHelpMenu_ = menuBar()->addMenu(QString());
    mnuHelpMenu_->setObjectName(QStringLiteral("mnuHelpMenu"));
    mnuHelpMenu_->menuAction()->setObjectName(QStringLiteral("mnuHelpMenu"));
    Help_ = addAction(mnuHelpMenu_, "Help", [this] { Help_Click(1); });
    Help_->setShortcut(QKeySequence::HelpContents);
    Help_->setShortcutContext(Qt::WindowShortcut);
    addSeparator(mnuHelpMenu_, "spacer");
    About_ = addAction(mnuHelpMenu_, "About", [this] { About_Click(2); });
}

void frmMain::createControls() {
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("clientArea"));
    setCentralWidget(client);

    auto makeFrame = [client](const char* name, const TwipsRect& place) {
        auto* frame = new QGroupBox(client);
        frame->setObjectName(QString::fromLatin1(name));
        placeInTwips(*frame, place);
        return frame;
    };
    auto makeGrid = [](QGroupBox* frame, const char* name, const TwipsRect& place,
                       const float(&widths)[6]) {
        auto* grid = new GridWidget(frame);
        grid->setObjectName(QString::fromLatin1(name));
        grid->move(pixelsFromTwipsX(*grid, place.left), pixelsFromTwipsY(*grid, place.top));
        grid->SetWidth(place.width);
        grid->SetHeight(place.height);
        for (int column = 0; column < 6; ++column)
            grid->setColumnWidthTwips(column, widths[column]);
        return grid;
    };
    auto makeButton = [client](const char* name, const TwipsRect& place) {
        auto* button = new QPushButton(client);
        button->setObjectName(QString::fromLatin1(name));
        button->setAutoDefault(false);
        button->setDefault(false);
        placeInTwips(*button, place);
        return button;
    };

    frameGreetingsAndVoiceNames_ = makeFrame("frameGreetingsAndVoiceNames", kDesignFrameGreetings);
    gridGreetings_ = makeGrid(frameGreetingsAndVoiceNames_, "gridGreetings", kDesignGridGreetings,
                              kGreetingsColumnWidths);
    framePrompts_ = makeFrame("framePrompts", kDesignFramePrompts);
    gridPrompts_ = makeGrid(framePrompts_, "gridPrompts", kDesignGridPrompts, kPromptsColumnWidths);
    cmdReload_ = makeButton("cmdReload", kDesignReload);
    cmdExit_ = makeButton("cmdExit", kDesignExit);
    connect(cmdReload_, &QPushButton::clicked, this, [this] { cmdReload_Click(); });
    connect(cmdExit_, &QPushButton::clicked, this, [this] { cmdExit_Click(); });

    // Each grid's find field, hidden until asked for.
    for (GridWidget* grid : {gridGreetings_, gridPrompts_}) {
        auto* bar = new FindBar(grid->parentWidget());
        bar->setObjectName(grid == gridGreetings_ ? QStringLiteral("findGreetings")
                                                  : QStringLiteral("findPrompts"));
        (grid == gridGreetings_ ? findGreetings_ : findPrompts_) = bar;
        connect(bar, &FindBar::textEdited, this,
                [this, grid](const QString& text) { findTextEdited(*grid, text); });
        connect(bar, &FindBar::closeRequested, this, [this, grid] { closeFind(*grid); });
        const QAbstractItemModel* model = grid->model();
        auto recount = [this, grid] { showCount(*grid); };
        connect(model, &QAbstractItemModel::modelReset, this, recount);
        connect(model, &QAbstractItemModel::rowsInserted, this, recount);
        connect(model, &QAbstractItemModel::rowsRemoved, this, recount);
    }
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        for (GridWidget* grid : {gridGreetings_, gridPrompts_})
            if (now && (now == grid || findBar(*grid).isAncestorOf(now)))
                lastFocusedGrid_ = grid;
    });

    // Exit first, then the grids (each after its find field while that is open), then Reload
    // Files; the frames take no focus themselves.
    setTabOrder(cmdExit_, &findGreetings_->field());
    setTabOrder(&findGreetings_->field(), gridGreetings_);
    setTabOrder(gridGreetings_, &findPrompts_->field());
    setTabOrder(&findPrompts_->field(), gridPrompts_);
    setTabOrder(gridPrompts_, cmdReload_);
}

void frmMain::frmMain_Auto_Init() {
    LocalizeFormFonts(this);
    setWindowTitle(text(5));
    framePrompts_->setTitle(text(25));
    frameGreetingsAndVoiceNames_->setTitle(text(19));
    // Alt and a key reach the menu bar's titles and the buttons alike: one group.
    setCaptionsWithAccessKeys({{mnuFile_, 17},
                               {mnuView_, texts::kViewMenu},
                               {mnuHelpMenu_, 20},
                               {cmdReload_, 26},
                               {cmdExit_, 13}});
    setCaptionsWithAccessKeys({{mnuFind_, texts::kFindCommand},
                               {mnuProblemFiles_, texts::kProblemFilesCommand},
                               {mnuTotals_, texts::kTotalsCommand}});
    setCaptionsWithAccessKeys({{mnuGreetingsToCSV_, 14},
                               {mnuPromptToCSV_, 15},
                               {mnuShownGreetingsToCSV_, texts::kExportShownGreetings},
                               {mnuShownPromptsToCSV_, texts::kExportShownPrompts},
                               {mnuExit_, 13}});
    setCaptionsWithAccessKeys({{Help_, 20}, {About_, 1}});
    setHeaderTexts(*gridGreetings_);
    setHeaderTexts(*gridPrompts_);
    for (GridWidget* grid : {gridGreetings_, gridPrompts_}) {
        grid->localizeFactColumns();
        findBar(*grid).localize();
    }
    keepGridsBelowCaptions();
}

void frmMain::keepGridsBelowCaptions() {
    keepGridBelowCaption(*frameGreetingsAndVoiceNames_, *gridGreetings_, kDesignGridGreetings.top);
    keepGridBelowCaption(*framePrompts_, *gridPrompts_, kDesignGridPrompts.top);
    placeFindBar(*findGreetings_, *gridGreetings_);
    placeFindBar(*findPrompts_, *gridPrompts_);
}

void frmMain::showCount(GridWidget& grid) {
    findBar(grid).showCount(grid.shownRowCount(), grid.dataRowCount());
}

void frmMain::findTextEdited(GridWidget& grid, const QString& text) {
    RowFilter filter = grid.rowFilter();
    filter.text = text.toStdString();
    grid.setRowFilter(std::move(filter));
    showCount(grid);
}

void frmMain::mnuFind_Click() {
    GridWidget& grid = lastFocusedGrid_ ? *lastFocusedGrid_ : *gridGreetings_;
    FindBar& bar = findBar(grid);
    const bool wasHidden = bar.isHidden();
    bar.open();
    if (wasHidden) {
        showCount(grid);
        keepGridsBelowCaptions();
    }
}

void frmMain::closeFind(GridWidget& grid) {
    FindBar& bar = findBar(grid);
    bar.dismiss();
    bar.setText(QString()); // drops the words from the filter; problems only stays as set
    keepGridsBelowCaptions();
    grid.setFocus(Qt::ShortcutFocusReason);
}

void frmMain::mnuProblemFiles_Click() {
    for (GridWidget* grid : {gridGreetings_, gridPrompts_}) {
        RowFilter filter = grid->rowFilter();
        filter.problemsOnly = mnuProblemFiles_->isChecked();
        grid->setRowFilter(std::move(filter));
        showCount(*grid);
    }
}

void frmMain::Form_Load() {
    frmMain_Auto_Init();
    ScanProgress progress;
    progress.filesExamined = [this](std::int64_t count) {
        if (!splash_)
            return;
        const long long since = startReport::enabled() ? startReport::nowNanoseconds() : 0;
        splash_->showFilesExamined(count);
        startReport::addTime("splash count", since);
    };
    ScanOptions options;
    options.givenRoot = givenRoot_;
    // Each grid is emptied and its drawing suspended as its list starts; the rows and the
    // message boxes come in the scan's order, each box holding the scan until it is closed.
    GridScanSink sink(*gridGreetings_, *gridPrompts_);
    if (runLoadSequence(fileSystem(), sink, progress, options) == LoadOutcome::ServerNotSupported)
        std::exit(0);
    startReport::mark("scanned");
    sink.finishGrids();
    startReport::mark("columns sized");
    if (totals_)
        totals_->refresh();
}

void frmMain::cmdReload_Click() {
    if (splash_)
        splash_->showCentred();
    Form_Load();
    if (splash_)
        splash_->hide();
}

void frmMain::cmdExit_Click() {
    endProgram(0);
}

void frmMain::mnuExit_Click() {
    endProgram(0);
}

void frmMain::mnuGreetingsToCSV_Click() {
    runCsvExportCommand(CsvExportTarget::Greetings, *gridGreetings_, fileSystem());
}

void frmMain::mnuPromptToCSV_Click() {
    runCsvExportCommand(CsvExportTarget::Prompts, *gridPrompts_, fileSystem());
}

void frmMain::mnuShownGreetingsToCSV_Click() {
    runCsvExportCommand(CsvExportTarget::Greetings, gridGreetings_->shownRows(), fileSystem());
}

void frmMain::mnuShownPromptsToCSV_Click() {
    runCsvExportCommand(CsvExportTarget::Prompts, gridPrompts_->shownRows(), fileSystem());
}

void frmMain::mnuTotals_Click() {
    if (!totals_) {
        totals_ = new frmTotals(this);
        totals_->setGroupsPicked([this](FileList list, std::vector<RowGroup> groups) {
            filterGridToGroups(list, std::move(groups));
        });
        totals_->setGrids(gridGreetings_, gridPrompts_);
    }
    totals_->show();
    totals_->raise();
    totals_->activateWindow();
}

void frmMain::filterGridToGroups(FileList list, std::vector<RowGroup> groups) {
    GridWidget& grid = list == FileList::Greetings ? *gridGreetings_ : *gridPrompts_;
    RowFilter filter = grid.rowFilter();
    filter.groups = std::move(groups);
    grid.setRowFilter(std::move(filter));
}

const std::vector<RowGroup>& frmMain::pickedGroups(FileList list) const {
    return (list == FileList::Greetings ? gridGreetings_ : gridPrompts_)->rowFilter().groups;
}

void frmMain::About_Click(int) {
    if (openAboutBox_)
        openAboutBox_();
}

void frmMain::Help_Click(int) {
    if (openHelpWindow_)
        openHelpWindow_();
}

const FileSystemObject& frmMain::fileSystem() {
    if (!fileSystem_)
        fileSystem_ = std::make_unique<FileSystemObject>();
    return *fileSystem_;
}

const MainWindowLayout& frmMain::applyLayout(float outerWidth, float outerHeight) {
    layout_ = computeMainWindowLayout(outerWidth, outerHeight);
    placeInTwips(*frameGreetingsAndVoiceNames_, layout_.frameGreetingsAndVoiceNames);
    placeInTwips(*framePrompts_, layout_.framePrompts);
    // The prompts grid takes its size from the greetings grid, as it was set.
    gridGreetings_->SetWidth(layout_.gridGreetings.width);
    gridGreetings_->SetHeight(layout_.gridGreetings.height);
    gridPrompts_->SetWidth(gridGreetings_->Width());
    gridPrompts_->SetHeight(gridGreetings_->Height());
    placeInTwips(*cmdExit_, layout_.cmdExit);
    placeInTwips(*cmdReload_, layout_.cmdReload);
    keepGridsBelowCaptions();
    return layout_;
}

void frmMain::Form_Resize() {
    if (isMinimized())
        return;
    const QRect outer = frameGeometry();
    const float outerWidth = static_cast<float>(outer.width() * twipsPerPixelX(*this));
    const float outerHeight = static_cast<float>(outer.height() * twipsPerPixelY(*this));
    const MainWindowLayout& placed = applyLayout(outerWidth, outerHeight);
    if (placed.windowWidth != outerWidth || placed.windowHeight != outerHeight) {
        // The frame around the window is the window system's: only the inner size is ours.
        const int frameWidth = outer.width() - width();
        const int frameHeight = outer.height() - height();
        resize(placed.windowWidth != outerWidth
                   ? pixelsFromTwipsX(*this, placed.windowWidth) - frameWidth
                   : width(),
               placed.windowHeight != outerHeight
                   ? pixelsFromTwipsY(*this, placed.windowHeight) - frameHeight
                   : height());
    }
}

void frmMain::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    Form_Resize();
}

void frmMain::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        Form_Resize();
}

void frmMain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!shownOnce_) {
        shownOnce_ = true;
        Form_Resize();
        cmdExit_->setFocus(Qt::OtherFocusReason);
    }
}

} // namespace tambrel
