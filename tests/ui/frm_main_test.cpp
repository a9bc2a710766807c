// The main window: its layout at the minimum and a larger size, the snap back to the minimum,
// its controls, menus and tab order, and its texts in English and German.
#include "localize/access_keys.h"
#include "tests/inventory/scan/server_tree.h"
#include "tests/support/recording_dialogs.h"
#include "tests/ui/language_scope.h"
#include "ui/form_localization.h"
#include "ui/frm_main.h"
#include "ui/frm_totals.h"
#include "ui/grid_widget.h"
#include "ui/program_end.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QGroupBox>
#include <QHeaderView>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTableView>
#include <QTest>

using namespace tambrel;
using namespace tambrel::testing;

Q_DECLARE_METATYPE(tambrel::TwipsRect)

namespace {

// The caption as the string table has it, without the access key the window adds.
QString unmarked(const QString& text) {
    return QString::fromStdString(withoutAccessKeyMarker(text.toStdString()));
}

QString caption(QWidget& form, const char* name) {
    if (auto* button = form.findChild<QPushButton*>(name))
        return unmarked(button->text());
    if (auto* frame = form.findChild<QGroupBox*>(name))
        return frame->title();
    if (auto* menu = form.findChild<QMenu*>(name))
        return unmarked(menu->title());
    if (auto* action = form.findChild<QAction*>(name))
        return unmarked(action->text());
    return "<no control " + QString(name) + ">";
}

QStringList headers(const GridWidget& grid) {
    QStringList texts;
    for (int column = 0; column < grid.model()->columnCount(); ++column)
        texts << grid.model()->headerData(column, Qt::Horizontal).toString();
    return texts;
}

QStringList actionNames(const QMenu& menu) {
    QStringList names;
    for (const QAction* action : menu.actions())
        names << (action->isSeparator() ? "-" + action->objectName() : action->objectName());
    return names;
}

void addRow(GridWidget& grid, const char* fileName) {
    QVERIFY(grid.AddItem("PCM", grid.Rows()).ok());
    QVERIFY(grid.SetCell(grid.Rows() - 1, grid.ColIndex("FileName"), fileName).ok());
    QVERIFY(grid.SetCell(grid.Rows() - 1, grid.ColIndex("Codec"), "PCM").ok());
}

class RecordingSplashScreen final : public SplashScreenHooks {
public:
    void showCentred() override { calls << "showCentred"; }
    void hide() override { calls << "hide"; }
    void showFilesExamined(std::int64_t) override {}
    QStringList calls;
};

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void layoutPlacesEveryControl_data();
    void layoutPlacesEveryControl();
    void layoutSnapsToTheMinimum_data();
    void layoutSnapsToTheMinimum();
    void controlsTakeTheirPlacesInPixels();
    void tooSmallWindowGrowsBackToTheMinimum();
    void controlsMenusAndTabOrder();
    void gridsHaveTheirColumnsAndWidths();
    void textsComeFromTheStringTable_data();
    void textsComeFromTheStringTable();
    void languageSwitchKeepsEveryDataRow();
    void aboutAndHelpOpenWhatIsAttached();
    void f1OpensTheHelpWindow();
    void exitHidesEveryWindowThenEnds_data();
    void exitHidesEveryWindowThenEnds();
    void loadingScansIntoBothGridsAndReloadingRepeatsIt();
    void totalsFollowTheGridsPickGroupsAndCopy();
};

void MainWindowTest::layoutPlacesEveryControl_data() {
    QTest::addColumn<float>("width");
    QTest::addColumn<float>("height");
    QTest::addColumn<TwipsRect>("frame");
    QTest::addColumn<float>("promptsTop");
    QTest::addColumn<TwipsRect>("grid");
    QTest::addColumn<TwipsRect>("exit");
    QTest::addColumn<TwipsRect>("reload");
    QTest::newRow("exactly the minimum")
        << 8400.0f << 6555.0f << TwipsRect{0, 120, 8300, 2497.5f} << 2797.5f
        << TwipsRect{60, 240, 8180, 2197.5f} << TwipsRect{6990, 5355, 1275, 435}
        << TwipsRect{4895, 5355, 1995, 435};
    QTest::newRow("larger, odd height")
        << 12000.0f << 9001.0f << TwipsRect{0, 120, 11900, 3720.5f} << 4020.5f
        << TwipsRect{60, 240, 11780, 3420.5f} << TwipsRect{10590, 7801, 1275, 435}
        << TwipsRect{8495, 7801, 1995, 435};
}

void MainWindowTest::layoutPlacesEveryControl() {
    QFETCH(float, width);
    QFETCH(float, height);
    QFETCH(TwipsRect, frame);
    QFETCH(float, promptsTop);
    QFETCH(TwipsRect, grid);
    QFETCH(TwipsRect, exit);
    QFETCH(TwipsRect, reload);
    frmMain form;
    const MainWindowLayout& layout = form.applyLayout(width, height);
    auto compare = [](const TwipsRect& actual, const TwipsRect& expected) {
        QCOMPARE(actual.left, expected.left);
        QCOMPARE(actual.top, expected.top);
        QCOMPARE(actual.width, expected.width);
        QCOMPARE(actual.height, expected.height);
    };
    compare(layout.frameGreetingsAndVoiceNames, frame);
    compare(layout.framePrompts, TwipsRect{0, promptsTop, frame.width, frame.height});
    compare(layout.gridGreetings, grid);
    compare(layout.gridPrompts, grid);
    compare(layout.cmdExit, exit);
    compare(layout.cmdReload, reload);
    // The prompts grid took its size from the greetings grid through the grid contract.
    QCOMPARE(form.gridPrompts().Width(), grid.width);
    QCOMPARE(form.gridPrompts().Height(), grid.height);
}

void MainWindowTest::layoutSnapsToTheMinimum_data() {
    QTest::addColumn<float>("width");
    QTest::addColumn<float>("height");
    QTest::addColumn<float>("snappedWidth");
    QTest::addColumn<float>("snappedHeight");
    QTest::newRow("too narrow") << 5000.0f << 7000.0f << 8400.0f << 7000.0f;
    QTest::newRow("too low") << 9000.0f << 6554.0f << 9000.0f << 6555.0f;
    QTest::newRow("both") << 15.0f << 15.0f << 8400.0f << 6555.0f;
    QTest::newRow("just large enough") << 8400.0f << 6555.0f << 8400.0f << 6555.0f;
}

void MainWindowTest::layoutSnapsToTheMinimum() {
    QFETCH(float, width);
    QFETCH(float, height);
    QFETCH(float, snappedWidth);
    QFETCH(float, snappedHeight);
    const MainWindowLayout layout = computeMainWindowLayout(width, height);
    QCOMPARE(layout.windowWidth, snappedWidth);
    QCOMPARE(layout.windowHeight, snappedHeight);
    QCOMPARE(layout.frameGreetingsAndVoiceNames.width, snappedWidth - 100);
    QCOMPARE(layout.cmdExit.top, snappedHeight - 1200);
}

void MainWindowTest::controlsTakeTheirPlacesInPixels() {
    frmMain form;
    form.applyLayout(8400, 6555);
    const double x = 1440.0 / form.logicalDpiX();
    const double y = 1440.0 / form.logicalDpiY();
    auto* exit = form.findChild<QPushButton*>("cmdExit");
    auto* reload = form.findChild<QPushButton*>("cmdReload");
    auto* prompts = form.findChild<QGroupBox*>("framePrompts");
    QCOMPARE(exit->geometry(),
             QRect(qRound(6990 / x), qRound(5355 / y), qRound(1275 / x), qRound(435 / y)));
    QCOMPARE(reload->pos(), QPoint(qRound(4895 / x), qRound(5355 / y)));
    QCOMPARE(prompts->y(), qRound(2797.5 / y));
    QCOMPARE(form.gridGreetings().parentWidget()->objectName(),
             QString("frameGreetingsAndVoiceNames"));
    QCOMPARE(form.gridGreetings().pos(), QPoint(qRound(60 / x), qRound(240 / y)));
    QCOMPARE(form.gridPrompts().size(), QSize(qRound(8180 / x), qRound(2197.5 / y)));
}

void MainWindowTest::tooSmallWindowGrowsBackToTheMinimum() {
    frmMain form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.resize(200, 100);
    QTRY_COMPARE(form.frameGeometry().width(), qRound(8400 * form.logicalDpiX() / 1440.0));
    QTRY_COMPARE(form.frameGeometry().height(), qRound(6555 * form.logicalDpiY() / 1440.0));
    QCOMPARE(form.layout().windowWidth, 8400.0f);
    QCOMPARE(form.layout().windowHeight, 6555.0f);
    QCOMPARE(form.focusWidget(), form.findChild<QWidget*>("cmdExit"));
}

void MainWindowTest::controlsMenusAndTabOrder() {
    frmMain form;
    QCOMPARE(form.objectName(), QString("frmMain"));
    QVERIFY(!form.windowIcon().isNull());
    for (const char* name : {"cmdExit", "cmdReload"}) {
        auto* button = form.findChild<QPushButton*>(name);
        QVERIFY2(button, name);
        QVERIFY(!button->isDefault());
        QVERIFY(!button->autoDefault());
    }
    const QList<QAction*> menus = form.menuBar()->actions();
    QCOMPARE(menus.size(), 3);
    QCOMPARE(menus[0]->menu()->objectName(), QString("mnuFile"));
    QCOMPARE(menus[1]->menu()->objectName(), QString("mnuView"));
    QCOMPARE(menus[2]->menu()->objectName(), QString("mnuHelpMenu"));
    QCOMPARE(actionNames(*menus[0]->menu()),
             (QStringList{"mnuGreetingsToCSV", "mnuPromptToCSV", "mnuShownGreetingsToCSV",
                          "mnuShownPromptsToCSV", "-spacer2", "mnuExit"}));
    QCOMPARE(actionNames(*menus[1]->menu()),
             (QStringList{"mnuFind", "mnuProblemFiles", "mnuTotals"}));
    QCOMPARE(actionNames(*menus[2]->menu()), (QStringList{"Help", "-spacer", "About"}));
    // A separator is a line: with a text, styles draw it as a labelled item.
    form.frmMain_Auto_Init();
    for (const QAction* menu : menus)
        for (const QAction* item : menu->menu()->actions())
            QVERIFY2(item->isSeparator() ? item->text().isEmpty() : item->text() != "-",
                     qPrintable(item->objectName()));

    QStringList chain;
    QWidget* widget = form.findChild<QWidget*>("cmdExit");
    for (int step = 0; step < 4; ++step) {
        chain << widget->objectName();
        do
            widget = widget->nextInFocusChain();
        while (widget->focusPolicy() == Qt::NoFocus || widget->objectName().isEmpty());
    }
    QCOMPARE(chain, (QStringList{"cmdExit", "gridGreetings", "gridPrompts", "cmdReload"}));
}

void MainWindowTest::gridsHaveTheirColumnsAndWidths() {
    frmMain form;
    const double x = 1440.0 / form.logicalDpiX();
    const std::vector<std::pair<GridWidget*, std::vector<int>>> grids = {
        {&form.gridGreetings(), {150, 540, 810, 1245, 1110, 990}},
        {&form.gridPrompts(), {180, 705, 885, 1200, 1065, 960}},
    };
    for (const auto& [grid, widths] : grids) {
        QCOMPARE(grid->model()->columnCount(), 6);
        QCOMPARE(grid->Rows(), 1);
        int column = 1;
        for (const char* key : {"Codec", "FileName", "SampleRate", "LastModified", "FileSize"})
            QCOMPARE(grid->ColIndex(key), column++);
        for (int c = 0; c < 6; ++c)
            QCOMPARE(grid->columnWidth(c), qRound(widths[static_cast<std::size_t>(c)] / x));
    }
}

void MainWindowTest::textsComeFromTheStringTable_data() {
    QTest::addColumn<int>("language");
    QTest::addColumn<QStringList>("captions");
    QTest::addColumn<QStringList>("headerTexts");
    QTest::newRow("English")
        << 1033
        << QStringList{"Tambrel",
                       "Reload Files",
                       "Prompt Files",
                       "Exit",
                       "Greetings and Voice Names",
                       "File",
                       "Export Greeting and Voice Name Data to CSV",
                       "Export Prompt Data to CSV",
                       "Exit",
                       "Help",
                       "Help",
                       "About"}
        << QStringList{"", "Codec", "File Name", "Sample Rate", "Last Modified", "File Size"};
    QTest::newRow("German")
        << 1031
        << QStringList{"Tambrel",
                       "Dateien neu laden",
                       "Systemansagen",
                       "Beenden",
                       "Begrüßungen und Namensansagen",
                       "Datei",
                       "Begrüßungs- und Namensansagedaten als CSV exportieren",
                       "Systemansagedaten als CSV exportieren",
                       "Beenden",
                       "Hilfe",
                       "Hilfe",
                       "Info"}
        << QStringList{"", "Codec", "Dateiname", "Abtastrate", "Zuletzt geändert", "Dateigröße"};
}

void MainWindowTest::textsComeFromTheStringTable() {
    QFETCH(int, language);
    QFETCH(QStringList, captions);
    QFETCH(QStringList, headerTexts);
    LanguageScope scope(language, GermanLibrary::Present);
    frmMain form;
    form.frmMain_Auto_Init();
    QStringList shown{form.windowTitle()};
    for (const char* name :
         {"cmdReload", "framePrompts", "cmdExit", "frameGreetingsAndVoiceNames", "mnuFile",
          "mnuGreetingsToCSV", "mnuPromptToCSV", "mnuExit", "mnuHelpMenu", "Help", "About"})
        shown << caption(form, name);
    QCOMPARE(shown, captions);
    QCOMPARE(headers(form.gridGreetings()), headerTexts);
    QCOMPARE(headers(form.gridPrompts()), headerTexts);
    // Columns that are not fitted to their contents still show their header text whole, and
    // are never narrower than designed.
    const double x = 1440.0 / form.logicalDpiX();
    for (GridWidget* grid : {&form.gridGreetings(), &form.gridPrompts()}) {
        for (const char* key : {"SampleRate", "FileSize"}) {
            const int column = grid->ColIndex(key);
            const QString header = grid->model()->headerData(column, Qt::Horizontal).toString();
            QVERIFY(grid->columnWidth(column) >
                    grid->horizontalHeader()->fontMetrics().horizontalAdvance(header));
        }
    }
    QVERIFY(form.gridGreetings().columnWidth(3) >= qRound(1245 / x));
    QVERIFY(form.gridPrompts().columnWidth(5) >= qRound(960 / x));
}

void MainWindowTest::languageSwitchKeepsEveryDataRow() {
    LanguageScope scope(1033, GermanLibrary::Present);
    installFormLocalization();
    frmMain form;
    form.frmMain_Auto_Init();
    addRow(form.gridGreetings(), "c:\\Stream Files\\a.wav");
    addRow(form.gridGreetings(), "c:\\Stream Files\\b.wav");
    addRow(form.gridPrompts(), "c:\\support\\RecordBeep.wav");

    scope.switchTo(1031);
    RelocalizeAllForms();
    QCOMPARE(caption(form, "cmdExit"), QString("Beenden"));
    QCOMPARE(headers(form.gridGreetings())[2], QString("Dateiname"));
    QCOMPARE(form.gridGreetings().Rows(), 3);
    QCOMPARE(form.gridGreetings().Cell(2, 2).value(), std::string("c:\\Stream Files\\b.wav"));
    QCOMPARE(form.gridPrompts().Rows(), 2);
    QCOMPARE(form.gridPrompts().Cell(1, 1).value(), std::string("PCM"));

    scope.switchTo(1033);
    RelocalizeAllForms();
    QCOMPARE(caption(form, "cmdExit"), QString("Exit"));
    QCOMPARE(form.gridGreetings().Rows(), 3);
    setLoadedFormsFontPass({});
}

void MainWindowTest::aboutAndHelpOpenWhatIsAttached() {
    frmMain form;
    form.About_Click(); // nothing attached yet: nothing happens
    int about = 0;
    int help = 0;
    form.setAboutBoxOpener([&] { ++about; });
    form.setHelpWindowOpener([&] { ++help; });
    form.findChild<QAction*>("About")->trigger();
    form.findChild<QAction*>("Help")->trigger();
    form.findChild<QAction*>("Help")->trigger();
    QCOMPARE(about, 1);
    QCOMPARE(help, 2);
}

void MainWindowTest::f1OpensTheHelpWindow() {
    frmMain form;
    int help = 0;
    form.setHelpWindowOpener([&] { ++help; });
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
    QCOMPARE(help, 1);
}

void MainWindowTest::exitHidesEveryWindowThenEnds_data() {
    QTest::addColumn<QString>("control");
    QTest::newRow("Exit button") << "cmdExit";
    QTest::newRow("Exit menu item") << "mnuExit";
}

void MainWindowTest::exitHidesEveryWindowThenEnds() {
    QFETCH(QString, control);
    frmMain form;
    QWidget other;
    form.show();
    other.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QStringList seen;
    setProcessEnd([&](int status) {
        seen << QString("end %1, main window %2, other %3")
                    .arg(status)
                    .arg(form.isVisible() ? "shown" : "hidden")
                    .arg(other.isVisible() ? "shown" : "hidden");
    });
    if (auto* button = form.findChild<QPushButton*>(control))
        button->click();
    else
        form.findChild<QAction*>(control)->trigger();
    setProcessEnd({});
    QCOMPARE(seen, QStringList{"end 0, main window hidden, other hidden"});
}

void MainWindowTest::loadingScansIntoBothGridsAndReloadingRepeatsIt() {
    LanguageScope scope(1033);
    ServerTree server;
    server.write("Stream Files/notes.txt", "not a recording");
    server.write("support/RecordBeep.wav", "RIFF");
    RecordingDialogs dialogs;
    RecordingSplashScreen splash;
    frmMain form;
    form.setSplashScreenHooks(&splash);
    form.Form_Load();
    QCOMPARE(headers(form.gridGreetings())[1], QString("Codec"));
    QCOMPARE(form.gridGreetings().Rows(), 2);
    QCOMPARE(form.gridGreetings().Cell(1, 2).value(),
             std::string("C:\\Corvel\\Stream Files\\notes.txt"));
    QCOMPARE(form.gridPrompts().Rows(), 2);
    QCOMPARE(form.gridPrompts().model()->rowCount(), 1);
    QVERIFY(splash.calls.isEmpty());

    form.cmdReload_Click();
    QCOMPARE(splash.calls, (QStringList{"showCentred", "hide"}));
    QCOMPARE(form.gridGreetings().Rows(), 2);
    QCOMPARE(form.gridPrompts().Rows(), 2);
    QCOMPARE(form.gridGreetings().model()->rowCount(), 1);
}

void MainWindowTest::totalsFollowTheGridsPickGroupsAndCopy() {
    LanguageScope scope(1033);
    ServerTree server;
    server.write("Stream Files/a.wav", canonicalWave(1, 8000));
    server.write("Stream Files/b.wav", canonicalWave(1, 8000));
    server.write("Stream Files/c.wav", canonicalWave(7, 16000));
    server.write("Stream Files/notes.txt", "not a recording");
    RecordingDialogs dialogs;
    frmMain form;
    form.Form_Load();
    form.mnuTotals_Click();
    frmTotals* totals = form.totalsWindow();
    QVERIFY(totals && totals->isVisible());
    const QString codecOfA = "PCM 16";
    const QString codecOfC = "Microsoft MuLaw";

    auto lines = [&](FileList list) {
        QStringList shown;
        const TotalsModel& model = totals->model(list);
        for (int row = 0; row < model.rowCount(); ++row) {
            QStringList cells;
            for (int column = 0; column < model.columnCount(); ++column)
                cells << model.index(row, column).data().toString();
            shown << cells.join('|');
        }
        return shown;
    };
    const QLocale locale;
    const QString twoWaves = locale.toString(qlonglong(2 * canonicalWave(1, 8000).size()));
    const auto share = [&](double percent) { return locale.toString(percent, 'f', 1) + " %"; };
    // The lines come in the order of the rows; sorted by their first cell here, byte order.
    totals->table(FileList::Greetings).sortByColumn(0, Qt::AscendingOrder);
    const QStringList expected = {
        "File not a valid WAV format|0|1|15|" + share(25.0),
        codecOfC + "|16000|1|" + locale.toString(qlonglong(canonicalWave(7, 16000).size())) + "|" +
            share(25.0),
        "Not a RIFF file||1|15|" + share(25.0),
        codecOfA + "|8000|2|" + twoWaves + "|" + share(50.0),
    };
    QCOMPARE(lines(FileList::Greetings), expected);

    // A picked line narrows its list's grid, and stays picked wherever a sort moves it.
    QTableView& table = totals->table(FileList::Greetings);
    table.selectRow(1);
    RowGroup picked;
    picked.header = HeaderKind::Wave;
    picked.formatTag = 7;
    picked.sampleRate = 16000;
    QCOMPARE(form.pickedGroups(FileList::Greetings), std::vector<RowGroup>{picked});
    table.sortByColumn(2, Qt::AscendingOrder);
    QCOMPARE(table.selectionModel()->selectedRows().size(), 1);
    QCOMPARE(
        totals->model(FileList::Greetings)
            .rows()[static_cast<std::size_t>(table.selectionModel()->selectedRows().front().row())]
            .group,
        picked);
    QVERIFY(form.pickedGroups(FileList::Prompts).empty());

    totals->cmdCopy_Click();
    const QString copied = QApplication::clipboard()->text();
    QCOMPARE(copied, QString::fromStdString(totals->tablesAsCsv()));
    QVERIFY(copied.startsWith("List,Codec or Problem,Sample Rate,Files,Bytes,Share"));
    QVERIFY(copied.contains("Greetings and Voice Names,Not a RIFF file,,1,15,25.0"));

    // A reload counts again and drops the picks.
    server.write("Stream Files/d.wav", canonicalWave(7, 16000));
    form.cmdReload_Click();
    QVERIFY(form.pickedGroups(FileList::Greetings).empty());
    QCOMPARE(lines(FileList::Greetings).size(), 4);
    QVERIFY(lines(FileList::Greetings).join('\n').contains(codecOfC + "|16000|2|"));
}

QTEST_MAIN(MainWindowTest)
#include "frm_main_test.moc"
