// The Qt grid against the grid contract and what users do with it: keys, emptying, suspended
// filling, column sizing, sorting by each column and copying rows.
#include "platform/text/short_date.h"
#include "ui/grid_sort_keys.h"
#include "ui/grid_widget.h"

#include <ctime>
#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QImage>
#include <QSignalSpy>
#include <QTest>
#include <QtMath>
#include <string>

using namespace tambrel;

namespace {

struct Row {
    const char* codec;
    const char* fileName;
    const char* sampleRate;
    std::time_t lastModified;
    const char* fileSize;
    // The tag whose name sorts among the others as `codec` does, for the row handed over typed.
    std::int16_t formatTag = 1;
};

std::time_t day(int year, int month, int dayOfMonth) {
    std::tm parts{};
    parts.tm_year = year - 1900;
    parts.tm_mon = month - 1;
    parts.tm_mday = dayOfMonth;
    parts.tm_hour = 12;
    return std::mktime(&parts);
}

// Each column orders these rows differently from the order they are added in, and texts sort
// differently from values: " 16000" before " 8000" by text, "9" after "10" by text, and in
// month/day/year dates "11/3/2024" before "2/10/2024".
const std::vector<Row>& sampleRows() {
    static const std::vector<Row> rows = {
        {"PCM", "c:\\s\\b.wav", " 16000", day(2024, 2, 10), " 9", 0x0001},
        {"G.711 mu-law", "c:\\s\\a.wav", " 8000", day(2023, 12, 25), " 120", 0x0006},
        {"GSM 6.10", "c:\\s\\C.wav", " 8000", day(2024, 11, 3), " 10", 0x0031},
        {"pcm", "c:\\s\\d.wav", " 11025", day(2024, 2, 10), " 10", 0x0001},
    };
    return rows;
}

void addRow(GridWidget& grid, const Row& row) {
    QVERIFY(grid.AddItem(row.codec, grid.Rows()).ok());
    const std::int32_t last = grid.Rows() - 1;
    QVERIFY(grid.SetCell(last, grid.ColIndex("FileName"), row.fileName).ok());
    QVERIFY(grid.SetCell(last, grid.ColIndex("Codec"), row.codec).ok());
    QVERIFY(grid.SetCell(last, grid.ColIndex("FileSize"), row.fileSize).ok());
    QVERIFY(grid.SetCell(last, grid.ColIndex("SampleRate"), row.sampleRate).ok());
    QVERIFY(grid.SetCell(last, grid.ColIndex("LastModified"), shortDate(row.lastModified)).ok());
}

// The same row as the scan hands it over: its facts, cells and values in one call.
void addTypedRow(GridWidget& grid, const Row& row) {
    FileFacts facts;
    facts.path = row.fileName;
    facts.header.kind = HeaderKind::Wave;
    facts.header.formatTag = row.formatTag;
    facts.header.sampleRate = std::stoi(row.sampleRate);
    facts.hasStatus = true;
    facts.size = std::stoll(row.fileSize);
    facts.lastModified.tv_sec = row.lastModified;
    QVERIFY(grid.AddFileRow(facts).ok());
}

void fill(GridWidget& grid, bool typed = false) {
    for (const Row& row : sampleRows())
        typed ? addTypedRow(grid, row) : addRow(grid, row);
}

QStringList column(const GridWidget& grid, const char* key) {
    QStringList texts;
    for (std::int32_t row = 1; row < grid.Rows(); ++row)
        texts << QString::fromStdString(grid.Cell(row, grid.ColIndex(key)).value());
    return texts;
}

// The column's strip of cells as painted.
QImage paintedColumn(GridWidget& grid, int column, int width) {
    const int rows = grid.model()->rowCount();
    const QRect first = grid.visualRect(grid.model()->index(0, column));
    const QRect last = grid.visualRect(grid.model()->index(rows - 1, column));
    return grid.viewport()
        ->grab(QRect(first.topLeft(), QSize(width, last.bottom() - first.top() + 1)))
        .toImage();
}

// Whether any cell of the column is painted differently once the column is far wider: an
// elided text ends in "…" where the whole text would go on. Right-aligned texts move with the
// right edge, so their cells are compared at that edge.
bool anyCellElided(GridWidget& grid, int column, bool rightAligned) {
    const int width = grid.columnWidth(column);
    QImage before = paintedColumn(grid, column, width).convertToFormat(QImage::Format_RGB32);
    constexpr int kWider = 300;
    grid.setColumnWidth(column, width + kWider);
    QImage after =
        paintedColumn(grid, column, width + kWider).convertToFormat(QImage::Format_RGB32);
    grid.setColumnWidth(column, width);
    // In device pixels; the grid line at the cell's right edge moves with the edge.
    const qreal ratio = before.devicePixelRatio();
    const int gridLine = qCeil(ratio);
    const int shown = before.width() - gridLine;
    const int offset = rightAligned ? after.width() - before.width() : 0;
    return before.copy(0, 0, shown, before.height()) !=
           after.copy(offset, 0, shown, before.height());
}

} // namespace

class GridWidgetTest : public QObject {
    Q_OBJECT
private slots:
    void columnKeysIgnoreCase_data();
    void columnKeysIgnoreCase();
    void emptyingKeepsTheHeaderRow();
    void cellsOutsideTheGridFail();
    void suspendedFillingIsAnnouncedOnceOnResume();
    void resumingAfterEmptyingShowsOnlyTheNewRows();
    void autoSizeFitsTheWidestTextHeaderIncluded();
    void noCellIsElided_data();
    void noCellIsElided();
    void fittingAfterAScanMatchesAWholePass();
    void sortsByEachColumn_data();
    void sortsByEachColumn();
    void typedValuesMoveWithTheirRows();
    void sortingKeepsTheSelectedRows();
    void ctrlCCopiesSelectedRowsAsCsvLines();
    void widthAndHeightAreKeptInTwips();
    void dateFieldOrderFollowsThePattern_data();
    void dateFieldOrderFollowsThePattern();
    void unreadableSortTextsComeFirst();
    void caseFoldedOrderIsTheCaseBlindOrder();
};

void GridWidgetTest::columnKeysIgnoreCase_data() {
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("column");
    QTest::newRow("exact") << "Codec" << 1;
    QTest::newRow("lower case") << "filename" << 2;
    QTest::newRow("upper case") << "SAMPLERATE" << 3;
    QTest::newRow("mixed case") << "lastMODIFIED" << 4;
    QTest::newRow("last column") << "FileSize" << 5;
    QTest::newRow("the keyless column has no key") << "" << -1;
    QTest::newRow("unknown key") << "Duration" << -1;
}

void GridWidgetTest::columnKeysIgnoreCase() {
    QFETCH(QString, key);
    QFETCH(int, column);
    GridWidget grid;
    QCOMPARE(grid.ColIndex(key.toStdString()), column);
}

void GridWidgetTest::emptyingKeepsTheHeaderRow() {
    GridWidget grid;
    QVERIFY(grid.SetCell(0, grid.ColIndex("Codec"), "Codec").ok());
    fill(grid);
    QCOMPARE(grid.Rows(), 5);
    QVERIFY(grid.SetRows(1).ok());
    QCOMPARE(grid.Rows(), 1);
    QCOMPARE(grid.model()->rowCount(), 0);
    QCOMPARE(grid.Cell(0, 1).value(), std::string("Codec"));
    QCOMPARE(grid.model()->headerData(1, Qt::Horizontal).toString(), QString("Codec"));
    QVERIFY(!grid.SetRows(0).ok());
}

void GridWidgetTest::cellsOutsideTheGridFail() {
    GridWidget grid;
    fill(grid);
    QVERIFY(!grid.Cell(5, 1).ok());
    QVERIFY(!grid.Cell(1, 6).ok());
    QVERIFY(!grid.Cell(-1, 1).ok());
    QVERIFY(!grid.SetCell(1, -1, "x").ok());
    QVERIFY(!grid.AddItem("x", 0).ok());
    QVERIFY(!grid.AddItem("x", 6).ok());
    QCOMPARE(grid.Cell(4, 2).value(), std::string("c:\\s\\d.wav"));
}

void GridWidgetTest::suspendedFillingIsAnnouncedOnceOnResume() {
    GridWidget grid;
    QSignalSpy inserted(grid.model(), &QAbstractItemModel::rowsInserted);
    QSignalSpy reset(grid.model(), &QAbstractItemModel::modelReset);
    grid.SetRedraw(RedrawMode::Suspended);
    QVERIFY(!grid.updatesEnabled());
    for (int i = 0; i < 50; ++i)
        fill(grid);
    QCOMPARE(grid.Rows(), 201);
    QCOMPARE(grid.model()->rowCount(), 0);
    QCOMPARE(inserted.count(), 0);
    grid.SetRedraw(RedrawMode::Buffered);
    QVERIFY(grid.updatesEnabled());
    QCOMPARE(inserted.count(), 1);
    QCOMPARE(reset.count(), 0);
    QCOMPARE(grid.model()->rowCount(), 200);
    QCOMPARE(grid.model()->index(199, 2).data().toString(), QString("c:\\s\\d.wav"));
}

void GridWidgetTest::resumingAfterEmptyingShowsOnlyTheNewRows() {
    GridWidget grid;
    fill(grid);
    grid.SetRedraw(RedrawMode::Suspended);
    QVERIFY(grid.SetRows(1).ok());
    addRow(grid, sampleRows()[2]);
    grid.SetRedraw(RedrawMode::Buffered);
    QCOMPARE(grid.model()->rowCount(), 1);
    QCOMPARE(grid.model()->index(0, 2).data().toString(), QString("c:\\s\\C.wav"));
}

void GridWidgetTest::autoSizeFitsTheWidestTextHeaderIncluded() {
    GridWidget grid;
    const int fileName = grid.ColIndex("FileName");
    const int codec = grid.ColIndex("Codec");
    QVERIFY(grid.SetCell(0, codec, "A header far wider than any codec name in the column").ok());
    fill(grid);
    addRow(grid, {"PCM", "c:\\a much longer folder name\\with a long file name.wav", " 8000",
                  day(2024, 1, 1), " 1"});
    grid.setColumnWidth(fileName, 5);
    QVERIFY(grid.AutoSize(fileName).ok());
    QVERIFY(grid.AutoSize(codec).ok());
    const QFontMetrics metrics = grid.fontMetrics();
    const int longest =
        metrics.horizontalAdvance("c:\\a much longer folder name\\with a long file name.wav");
    QVERIFY(grid.columnWidth(fileName) >= longest);
    QVERIFY(grid.columnWidth(fileName) <= longest + 40);
    QVERIFY(grid.columnWidth(codec) >= grid.horizontalHeader()->fontMetrics().horizontalAdvance(
                                           "A header far wider than any codec name in the column"));
    QVERIFY(!grid.AutoSize(6).ok());
}

void GridWidgetTest::noCellIsElided_data() {
    QTest::addColumn<QString>("family");
    QTest::addColumn<qreal>("pointSize");
    // The Latin face the program uses on Linux, and the face the Japanese library asks for
    // (the font service substitutes a CJK face); at the program's size and a large one, so that
    // the fixed-width columns must grow.
    const QString japanese =
        QString::fromUtf16(u"\uFF2D\uFF33\u0020\uFF30\u30B4\u30B7\u30C3\u30AF");
    QTest::newRow("Latin face, 8.25 points") << QStringLiteral("DejaVu Sans") << 8.25;
    QTest::newRow("Latin face, 15 points") << QStringLiteral("DejaVu Sans") << 15.0;
    QTest::newRow("Japanese face, 9 points") << japanese << 9.0;
    QTest::newRow("Japanese face, 15 points") << japanese << 15.0;
}

void GridWidgetTest::noCellIsElided() {
    QFETCH(QString, family);
    QFETCH(qreal, pointSize);
    // Run once for each scale factor the build registers (QT_SCALE_FACTOR).
    GridWidget grid;
    QFont font(family);
    font.setPointSizeF(pointSize);
    grid.setFont(font);
    grid.resize(1600, 400);
    // The main window's designed widths, in pixels at 96 dots per inch.
    const int designed[] = {10, 36, 54, 83, 74, 66};
    for (int column = 0; column < 6; ++column)
        grid.setColumnWidth(column, designed[column]);
    grid.SetRedraw(RedrawMode::Suspended);
    const std::vector<Row> rows = {
        {"Microsoft MuLaw", "c:\\Stream Files\\Greeting One.wav", "-2147483648", day(2024, 12, 28),
         " 4294967295"},
        {"Microsoft IMA ADPCM",
         "c:\\support\\\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e\xe3\x81\xae\xe5\xa3\xb0.wav", " 44100",
         day(2023, 1, 1), " 1"},
        {"Unknown Codec=65534", "c:\\support\\WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW.wav", " 8000",
         day(2025, 11, 30), " 123456789"},
        {"GSM 6.10", "c:\\support\\mmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmm.wav", " 11025",
         day(2024, 2, 10), " 99"},
    };
    for (const Row& row : rows)
        addRow(grid, row);
    for (const char* key : {"FileName", "Codec", "LastModified"})
        QVERIFY(grid.AutoSize(grid.ColIndex(key)).ok());
    grid.SetRedraw(RedrawMode::Buffered);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));

    for (const char* key : {"Codec", "FileName", "SampleRate", "LastModified", "FileSize"}) {
        const int column = grid.ColIndex(key);
        // The columns that are not fitted keep at least their designed width.
        const bool number =
            std::string_view(key) == "SampleRate" || std::string_view(key) == "FileSize";
        if (number)
            QVERIFY2(grid.columnWidth(column) >= designed[column], key);
        QVERIFY2(!anyCellElided(grid, column, number), key);
    }
}

// The widths estimated row by row while a scan fills the grid are those a whole pass over the
// finished grid finds; a cell written afterwards, or a sort, makes the next fitting read every
// row again.
void GridWidgetTest::fittingAfterAScanMatchesAWholePass() {
    GridWidget scanned;
    GridWidget written;
    std::vector<Row> rows = sampleRows();
    rows.push_back({"PCM 16", "c:\\support\\\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e.wav", " 8000",
                    day(2024, 5, 5), " 12"});
    scanned.SetRedraw(RedrawMode::Suspended);
    for (const Row& row : rows)
        addTypedRow(scanned, row);
    // The same texts, written cell by cell.
    for (std::int32_t row = 1; row < scanned.Rows(); ++row) {
        QVERIFY(written.AddItem("", written.Rows()).ok());
        for (std::int32_t column = 1; column < 6; ++column)
            QVERIFY(written.SetCell(row, column, *scanned.Cell(row, column)).ok());
    }
    auto fitted = [](GridWidget& grid) {
        QList<int> widths;
        for (const char* key : {"Codec", "FileName", "SampleRate", "LastModified", "FileSize"}) {
            grid.setColumnWidth(grid.ColIndex(key), 4);
            (void)grid.AutoSize(grid.ColIndex(key));
            widths << grid.columnWidth(grid.ColIndex(key));
        }
        return widths;
    };
    QCOMPARE(fitted(scanned), fitted(written));

    const int fileName = scanned.ColIndex("FileName");
    scanned.sortByColumn(fileName, Qt::DescendingOrder);
    QCOMPARE(fitted(scanned), fitted(written));
    const std::string wider = "c:\\a folder name far longer than any of the sample rows.wav";
    QVERIFY(scanned.SetCell(2, fileName, wider).ok());
    QVERIFY(written.SetCell(2, fileName, wider).ok());
    QCOMPARE(fitted(scanned), fitted(written));
    QVERIFY(scanned.columnWidth(fileName) >=
            scanned.fontMetrics().horizontalAdvance(QString::fromStdString(wider)));

    // The font changed while rows were still coming: what was estimated in the old font is not
    // taken for the new one.
    GridWidget changed;
    GridWidget filledInNewFont;
    QFont larger = changed.font();
    if (larger.pointSizeF() > 0)
        larger.setPointSizeF(larger.pointSizeF() * 2);
    else
        larger.setPixelSize(larger.pixelSize() * 2);
    changed.SetRedraw(RedrawMode::Suspended);
    filledInNewFont.setFont(larger);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (i == rows.size() / 2)
            changed.setFont(larger);
        addTypedRow(changed, rows[i]);
        addTypedRow(filledInNewFont, rows[i]);
    }
    QCOMPARE(fitted(changed), fitted(filledInNewFont));
}

void GridWidgetTest::sortsByEachColumn_data() {
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("order");
    QTest::addColumn<QStringList>("fileNames");
    QTest::addColumn<bool>("typed");
    const QString a = "c:\\s\\a.wav", b = "c:\\s\\b.wav", c = "c:\\s\\C.wav", d = "c:\\s\\d.wav";
    // Ties keep the order the rows had: b before d on the same day and on "PCM"/"pcm". Rows
    // written cell by cell sort by their texts, rows added typed by their values: both alike.
    for (const bool typed : {false, true}) {
        const std::string how = typed ? ", typed rows" : ", cells";
        QTest::newRow(("codec by text, case-blind" + how).c_str())
            << "Codec" << int(Qt::AscendingOrder) << QStringList{a, c, b, d} << typed;
        QTest::newRow(("file name by text, case-blind" + how).c_str())
            << "FileName" << int(Qt::AscendingOrder) << QStringList{a, b, c, d} << typed;
        QTest::newRow(("sample rate by value" + how).c_str())
            << "SampleRate" << int(Qt::AscendingOrder) << QStringList{a, c, d, b} << typed;
        QTest::newRow(("sample rate by value, descending" + how).c_str())
            << "SampleRate" << int(Qt::DescendingOrder) << QStringList{b, d, a, c} << typed;
        QTest::newRow(("last modified by date" + how).c_str())
            << "LastModified" << int(Qt::AscendingOrder) << QStringList{a, b, d, c} << typed;
        QTest::newRow(("file size by value" + how).c_str())
            << "FileSize" << int(Qt::AscendingOrder) << QStringList{b, c, d, a} << typed;
    }
}

void GridWidgetTest::sortsByEachColumn() {
    QFETCH(QString, key);
    QFETCH(int, order);
    QFETCH(QStringList, fileNames);
    QFETCH(bool, typed);
    GridWidget grid;
    fill(grid, typed);
    grid.sortByColumn(grid.ColIndex(key.toStdString()), Qt::SortOrder(order));
    // The cells themselves move: the export, reading rows 1.., sees the order shown.
    QCOMPARE(column(grid, "FileName"), fileNames);
    QCOMPARE(grid.model()->index(0, 2).data().toString(), fileNames.front());
}

// A typed row's values move with its cells: sorted by size (b, C, d, a), then by rate, the
// rates must still be those of the rows they came with.
void GridWidgetTest::typedValuesMoveWithTheirRows() {
    GridWidget grid;
    fill(grid, true);
    grid.sortByColumn(grid.ColIndex("FileSize"), Qt::AscendingOrder);
    grid.sortByColumn(grid.ColIndex("SampleRate"), Qt::AscendingOrder);
    QCOMPARE(column(grid, "FileName"),
             (QStringList{"c:\\s\\C.wav", "c:\\s\\a.wav", "c:\\s\\d.wav", "c:\\s\\b.wav"}));
}

void GridWidgetTest::sortingKeepsTheSelectedRows() {
    GridWidget grid;
    fill(grid);
    grid.selectRow(1); // a.wav
    grid.sortByColumn(grid.ColIndex("FileName"), Qt::AscendingOrder);
    QCOMPARE(grid.selectedRowsAsCsv().substr(0, 20), std::string("G.711 mu-law,c:\\s\\a."));
    const QModelIndexList selected = grid.selectionModel()->selectedRows();
    QCOMPARE(selected.size(), 1);
    QCOMPARE(selected.front().row(), 0);
}

void GridWidgetTest::ctrlCCopiesSelectedRowsAsCsvLines() {
    GridWidget grid;
    fill(grid);
    addRow(grid, {"PCM", "c:\\Greetings, old\\say \"hi\".wav", " 8000", day(2024, 1, 2), " 44"});
    grid.show();
    grid.selectionModel()->select(grid.model()->index(4, 0),
                                  QItemSelectionModel::Select | QItemSelectionModel::Rows);
    grid.selectionModel()->select(grid.model()->index(1, 0),
                                  QItemSelectionModel::Select | QItemSelectionModel::Rows);
    QApplication::clipboard()->clear();
    QTest::keyClick(&grid, Qt::Key_C, Qt::ControlModifier);
    const QString expected = "G.711 mu-law,c:\\s\\a.wav, 8000," +
                             QString::fromStdString(shortDate(day(2023, 12, 25))) + ", 120\r\n" +
                             "PCM,\"c:\\Greetings, old\\say \"\"hi\"\".wav\", 8000," +
                             QString::fromStdString(shortDate(day(2024, 1, 2))) + ", 44\r\n";
    QCOMPARE(QApplication::clipboard()->text(), expected);
}

void GridWidgetTest::widthAndHeightAreKeptInTwips() {
    GridWidget grid;
    grid.SetWidth(8180);
    grid.SetHeight(2197.5f);
    QCOMPARE(grid.Width(), 8180.0f);
    QCOMPARE(grid.Height(), 2197.5f);
    const double perPixel = 1440.0 / grid.logicalDpiX();
    QCOMPARE(grid.width(), qRound(8180 / perPixel));
}

void GridWidgetTest::dateFieldOrderFollowsThePattern_data() {
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("month");
    QTest::addColumn<int>("day");
    QTest::newRow("United States") << "M/d/yyyy" << 2 << 0 << 1;
    QTest::newRow("Germany") << "dd.MM.yyyy" << 2 << 1 << 0;
    QTest::newRow("Japan") << "yyyy/MM/dd" << 0 << 1 << 2;
    QTest::newRow("quoted letters are skipped") << "d 'de' MM 'y' yyyy" << 2 << 1 << 0;
    QTest::newRow("incomplete pattern") << "MMM yyyy" << 2 << 0 << 1;
}

void GridWidgetTest::dateFieldOrderFollowsThePattern() {
    QFETCH(QString, pattern);
    QFETCH(int, year);
    QFETCH(int, month);
    QFETCH(int, day);
    const DateFieldOrder order = dateFieldOrder(pattern.toStdString());
    QCOMPARE(order.year, year);
    QCOMPARE(order.month, month);
    QCOMPARE(order.day, day);
}

void GridWidgetTest::unreadableSortTextsComeFirst() {
    QCOMPARE(numberSortKey(" 8000"), std::int64_t(8000));
    QCOMPARE(numberSortKey("-1"), std::int64_t(-1));
    QCOMPARE(numberSortKey(""), kUnreadableSortKey);
    QCOMPARE(numberSortKey(" 12x"), kUnreadableSortKey);
    QCOMPARE(dateSortKey("25.12.2023", dateFieldOrder("dd.MM.yyyy")), std::int64_t(20231225));
    QCOMPARE(dateSortKey("2023", DateFieldOrder{}), kUnreadableSortKey);
    QCOMPARE(dateSortKey("", DateFieldOrder{}), kUnreadableSortKey);
}

// Sorting compares case-folded copies byte by byte; that order must be the case-blind one,
// also for bytes above 127 (names that are not UTF-8) and for texts that are prefixes.
void GridWidgetTest::caseFoldedOrderIsTheCaseBlindOrder() {
    const std::string texts[] = {"",    "a",   "A",         "ab",        "AB\xE9",
                                 "Z",   "[",   "_x",        "\xE9t\xE9", "\xC9",
                                 "abc", "ABD", "C:\\Z.wav", "c:\\a.WAV", std::string("a\0b", 3),
                                 "a b"};
    auto sign = [](int value) { return (value > 0) - (value < 0); };
    for (const std::string& a : texts) {
        for (const std::string& b : texts) {
            std::string foldedA, foldedB;
            appendCaseFolded(a, foldedA);
            appendCaseFolded(b, foldedB);
            QCOMPARE(sign(std::string_view(foldedA).compare(foldedB)),
                     sign(compareTextIgnoringCase(a, b)));
        }
    }
}

QTEST_MAIN(GridWidgetTest)
#include "grid_widget_test.moc"
