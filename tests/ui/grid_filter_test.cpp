// The grid's filter and fact columns as a user meets them: rows found by words, problem files,
// the shown rows kept through sorting, reloading and copying, the optional columns leaving the
// five as they were, and the main window's find field and exports of shown rows, by keyboard.
#include "export/csv_writer.h"
#include "tests/support/recording_dialogs.h"
#include "tests/support/temporary_folder.h"
#include "ui/find_bar.h"
#include "ui/frm_main.h"
#include "ui/grid_widget.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <sstream>
#include <string>
#include <vector>

using namespace tambrel;
using namespace tambrel::testing;

namespace {

struct FileRow {
    const char* path;
    std::int16_t tag;
    std::int32_t rate;
    std::int64_t size;
    WavProblem problem = WavProblem::None;
    std::uint16_t channels = 1;
    std::uint32_t byteRate = 16000;
};

// Mailboxes and prompts in several codecs, one name beyond ASCII and two damaged files.
const std::vector<FileRow>& fileRows() {
    static const std::vector<FileRow> rows = {
        {"C:\\Corvel\\Greetings\\Mailbox1002\\Greeting.wav", 1, 8000, 32044},
        {"C:\\Corvel\\Greetings\\Mailbox1003\\Greeting.wav", 0x31, 8000, 1650},
        {"C:\\Corvel\\Greetings\\Mailbox1002\\Name.wav", 1, 16000, 64044, WavProblem::Truncated},
        {"C:\\Corvel\\Prompts\\ÄNDERUNG.wav", 7, 8000, 8044, WavProblem::None, 2},
        {"C:\\Corvel\\Prompts\\broken.wav", 0, 0, 20, WavProblem::NotRiff},
        {"C:\\Corvel\\Prompts\\mailbox-full.wav", 1, 11025, 22094},
    };
    return rows;
}

FileFacts facts(const FileRow& row) {
    FileFacts facts;
    facts.path = row.path;
    facts.header = {row.problem == WavProblem::NotRiff ? HeaderKind::NotWave : HeaderKind::Wave,
                    row.tag, row.rate};
    facts.hasStatus = true;
    facts.size = row.size;
    facts.lastModified.tv_sec = 1700000000;
    facts.wav.problem = row.problem;
    if (row.problem != WavProblem::NotRiff) {
        facts.wav.setFormatTag(static_cast<std::uint16_t>(row.tag));
        facts.wav.setChannels(row.channels);
        facts.wav.setSampleRate(static_cast<std::uint32_t>(row.rate));
        facts.wav.setByteRate(row.byteRate);
        facts.wav.setBitsPerSample(16);
        facts.wav.setDataBytes(static_cast<std::uint64_t>(row.size - 44));
    }
    return facts;
}

void fill(GridWidget& grid) {
    grid.SetRedraw(RedrawMode::Suspended);
    for (const FileRow& row : fileRows())
        QVERIFY(grid.AddFileRow(facts(row)).ok());
    grid.SetRedraw(RedrawMode::Buffered);
}

// The file names the grid shows, top to bottom.
QStringList shownNames(const QAbstractItemView& grid) {
    const GridWidget& widget = static_cast<const GridWidget&>(grid);
    QStringList names;
    for (int row = 0; row < grid.model()->rowCount(); ++row)
        names << grid.model()->index(row, widget.ColIndex("FileName")).data().toString();
    return names;
}

QString name(std::size_t index) {
    return QString::fromUtf8(fileRows()[index].path);
}

QStringList names(std::initializer_list<std::size_t> indexes) {
    QStringList list;
    for (std::size_t index : indexes)
        list << name(index);
    return list;
}

// Every row of a source as the export writes its lines.
std::string csvLines(const CsvRowSource& rows) {
    std::string text;
    std::array<std::string_view, kCsvFields> texts;
    for (std::int64_t row = 0; row < rows.csvRowCount(); ++row) {
        if (!rows.csvRowTexts(row, texts))
            return "<row " + std::to_string(row) + " unreadable>";
        appendCsvLine(text, texts);
    }
    return text;
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> found;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        found.push_back(line);
    return found;
}

} // namespace

class GridFilterTest : public QObject {
    Q_OBJECT
private slots:
    void filterShowsTheMatchingRows_data();
    void filterShowsTheMatchingRows();
    void shownRowsFollowSortingAndReloading();
    void copyAndExportTakeTheShownRows();
    void factColumnsLeaveTheFiveAsTheyWere();
    void columnMenuByKeyboard();
    void findFieldByKeyboard();
    void exportOfShownRowsWritesTheirLines();
};

void GridFilterTest::filterShowsTheMatchingRows_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("problemsOnly");
    QTest::addColumn<QStringList>("shown");
    QTest::newRow("no condition") << "" << false << names({0, 1, 2, 3, 4, 5});
    QTest::newRow("one word, any case") << "MAILBOX" << false << names({0, 1, 2, 5});
    QTest::newRow("all words") << "mailbox1002 greeting.wav" << false << names({0});
    QTest::newRow("codec text") << "gsm" << false << names({1});
    QTest::newRow("rate cell") << "11025" << false << names({5});
    QTest::newRow("folded beyond ASCII") << "änderung" << false << names({3});
    QTest::newRow("problems only") << "" << true << names({2, 4});
    QTest::newRow("problems and a word") << "name" << true << names({2});
    QTest::newRow("nothing matches") << "mailbox 9999" << false << QStringList{};
}

void GridFilterTest::filterShowsTheMatchingRows() {
    QFETCH(QString, text);
    QFETCH(bool, problemsOnly);
    QFETCH(QStringList, shown);
    GridWidget grid;
    fill(grid);
    grid.setRowFilter({text.toStdString(), problemsOnly, {}});
    QCOMPARE(shownNames(grid), shown);
    QCOMPARE(grid.shownRowCount(), shown.size());
    QCOMPARE(grid.dataRowCount(), static_cast<int>(fileRows().size()));
}

void GridFilterTest::shownRowsFollowSortingAndReloading() {
    GridWidget grid;
    fill(grid);
    // Typed letter by letter: each step narrows the rows already shown.
    for (const char* typed : {"m", "ma", "mail", "mailbox"})
        grid.setRowFilter({typed, false, {}});
    QCOMPARE(shownNames(grid), names({0, 1, 2, 5}));

    grid.sortByColumn(grid.ColIndex("FileSize"), Qt::DescendingOrder);
    QCOMPARE(shownNames(grid), names({2, 0, 5, 1}));
    grid.sortByColumn(grid.ColIndex("SampleRate"), Qt::AscendingOrder);
    QCOMPARE(shownNames(grid), names({0, 1, 5, 2}));
    grid.setRowFilter({"mailbox1002", false, {}});
    QCOMPARE(shownNames(grid), names({0, 2}));
    // Deleting a letter widens the filter again, over every row.
    grid.setRowFilter({"mailbox100", false, {}});
    QCOMPARE(shownNames(grid), names({0, 1, 2}));

    // A reload: emptied, filled while drawing is suspended, the filter applied to the new rows.
    QVERIFY(grid.SetRows(1).ok());
    QCOMPARE(grid.model()->rowCount(), 0);
    fill(grid);
    QCOMPARE(shownNames(grid), names({0, 1, 2}));
    // A row added while drawing goes on is matched as well.
    QVERIFY(
        grid.AddFileRow(facts({"C:\\Corvel\\Greetings\\Mailbox1004\\Name.wav", 1, 8000, 9})).ok());
    QCOMPARE(shownNames(grid).size(), 4);
    grid.setRowFilter({});
    QCOMPARE(grid.model()->rowCount(), 7);
}

void GridFilterTest::copyAndExportTakeTheShownRows() {
    GridWidget grid;
    fill(grid);
    const std::vector<std::string> all = lines(csvLines(grid));
    grid.setRowFilter({"greeting.wav", false, {}});
    grid.sortByColumn(grid.ColIndex("FileSize"), Qt::AscendingOrder);
    // Shown: 1 (1650 bytes), then 0 (32044).
    QCOMPARE(csvLines(grid.shownRows()), all[1] + "\n" + all[0] + "\n");
    QCOMPARE(grid.csvRowCount(), 6); // the export of every row still has every row

    grid.selectRow(1);
    QCOMPARE(QString::fromStdString(grid.selectedRowsAsCsv()),
             QString::fromStdString(all[0] + "\n"));
    grid.selectAll();
    QCOMPARE(QString::fromStdString(grid.selectedRowsAsCsv()),
             QString::fromStdString(all[1] + "\n" + all[0] + "\n"));
}

void GridFilterTest::factColumnsLeaveTheFiveAsTheyWere() {
    GridWidget grid;
    fill(grid);
    const int columns = grid.model()->columnCount();
    const std::string allLines = csvLines(grid);
    grid.selectAll();
    const std::string copied = grid.selectedRowsAsCsv();
    std::vector<int> widths;
    for (int column = 0; column < columns; ++column)
        widths.push_back(grid.columnWidth(column));

    for (FactColumn fact : kFactColumns)
        grid.setFactColumnShown(fact, true);
    QCOMPARE(grid.model()->columnCount(), columns + 5);
    const int first = columns;
    const struct {
        int row;
        QStringList texts; // Channels, Bits, Duration, Format, Problem
    } expected[] = {
        {0, {"1", "16", "0:02.000", "PCM", ""}},
        {3, {"2", "16", "0:00.500", "G.711 mu-law", ""}},
        {4, {"", "", "", "", "Not a RIFF file"}},
        {2, {"1", "16", "0:04.000", "PCM", "Audio data cut short"}},
    };
    for (const auto& row : expected)
        for (int i = 0; i < 5; ++i)
            QCOMPARE(grid.model()->index(row.row, first + i).data().toString(), row.texts[i]);
    QCOMPARE(csvLines(grid), allLines);
    QCOMPARE(grid.selectedRowsAsCsv(), copied);

    // Sorting by a fact column moves whole rows: the longest recording last.
    grid.sortByColumn(grid.model()->columnCount() - 3, Qt::AscendingOrder);
    QCOMPARE(shownNames(grid).last(), name(2));
    QCOMPARE(shownNames(grid).first(), name(1)); // no duration: first

    for (FactColumn fact : kFactColumns)
        grid.setFactColumnShown(fact, false);
    QCOMPARE(grid.model()->columnCount(), columns);
    for (int column = 0; column < columns; ++column)
        QCOMPARE(grid.columnWidth(column), widths[static_cast<std::size_t>(column)]);
}

void GridFilterTest::columnMenuByKeyboard() {
    GridWidget grid;
    fill(grid);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    QStringList offered;
    QTimer::singleShot(0, [&offered] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu)
            return;
        for (QAction* action : menu->actions())
            offered << action->text();
        menu->actions().at(2)->trigger();
        menu->close();
    });
    QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, QPoint(5, 5),
                              grid.mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(&grid, &menuKey);
    QCOMPARE(offered, (QStringList{"Channels", "Bits", "Duration", "Format", "Problem"}));
    QCOMPARE(grid.model()->columnCount(), 7);
    QCOMPARE(grid.model()->headerData(6, Qt::Horizontal).toString(), QString("Duration"));
    QCOMPARE(grid.model()->index(0, 6).data().toString(), QString("0:02.000"));
}

void GridFilterTest::findFieldByKeyboard() {
    RecordingDialogs dialogs;
    frmMain form;
    form.frmMain_Auto_Init();
    fill(form.gridGreetings());
    fill(form.gridPrompts());
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    GridWidget& prompts = form.gridPrompts();
    const QRect before = prompts.geometry();

    prompts.setFocus(Qt::TabFocusReason);
    QTest::keyClick(&prompts, Qt::Key_F, Qt::ControlModifier);
    FindBar& bar = form.findBar(prompts);
    QVERIFY(bar.isVisible());
    QVERIFY(form.findBar(form.gridGreetings()).isHidden());
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(&bar.field()));
    QCOMPARE(prompts.geometry().bottom(), before.bottom());
    QVERIFY(prompts.geometry().top() >= bar.geometry().bottom());

    QTest::keyClicks(&bar.field(), "mailbox greeting");
    QCOMPARE(shownNames(prompts), names({0, 1, 2}));
    QCOMPARE(bar.count().text(),
             QLocale::system().toString(3) + " of " + QLocale::system().toString(6));
    QCOMPARE(form.gridGreetings().shownRowCount(), 6);

    form.findChild<QAction*>("mnuProblemFiles")->trigger();
    QCOMPARE(shownNames(prompts), names({2}));
    QCOMPARE(shownNames(form.gridGreetings()), names({2, 4}));

    // Escape drops the words, keeps problems only, and gives the grid its place back.
    QTest::keyClick(&bar.field(), Qt::Key_Escape);
    QVERIFY(bar.isHidden());
    QCOMPARE(prompts.geometry(), before);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(&prompts));
    QCOMPARE(shownNames(prompts), names({2, 4}));
    form.findChild<QAction*>("mnuProblemFiles")->trigger();
    QCOMPARE(prompts.shownRowCount(), 6);

    // Opened again by the greetings grid's keyboard user.
    form.gridGreetings().setFocus(Qt::TabFocusReason);
    QTest::keyClick(&form.gridGreetings(), Qt::Key_F, Qt::ControlModifier);
    QVERIFY(form.findBar(form.gridGreetings()).isVisible());
    QVERIFY(bar.isHidden());
}

void GridFilterTest::exportOfShownRowsWritesTheirLines() {
    RecordingDialogs dialogs;
    TemporaryFolder folder;
    frmMain form;
    form.frmMain_Auto_Init();
    fill(form.gridGreetings());
    form.gridGreetings().setRowFilter({"mailbox1002", false, {}});

    dialogs.saveAnswer = (folder / "all.csv").string();
    form.mnuGreetingsToCSV_Click();
    dialogs.saveAnswer = (folder / "shown.csv").string();
    form.mnuShownGreetingsToCSV_Click();

    const std::vector<std::string> all = lines(readFile(folder / "all.csv"));
    const std::vector<std::string> shown = lines(readFile(folder / "shown.csv"));
    QCOMPARE(all.size(), fileRows().size() + 1);
    QCOMPARE(shown, (std::vector<std::string>{all[0], all[1], all[3]}));
}

QTEST_MAIN(GridFilterTest)
#include "grid_filter_test.moc"
