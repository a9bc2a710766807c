// A file name that is not UTF-8 in the Qt grid: the scan fills real grid widgets, which show
// the name readably (each stray byte as U+FFFD) and keep its bytes for the export and Ctrl+C.
#include "inventory/folder_scan.h"
#include "tests/inventory/wav_fixtures.h"
#include "tests/inventory/scan/server_tree.h"
#include "tests/support/grid_load.h"
#include "tests/support/recording_dialogs.h"
#include "ui/grid_widget.h"

#include <QTest>

using namespace tambrel;

class NonUtf8NameGridTest : public QObject {
    Q_OBJECT

private slots:
    void scannedNameIsShownReadablyAndKeptByteForByte() {
        testing::ServerTree server;
        testing::RecordingDialogs dialogs;
        server.makeFolder("Stream Files");
        server.makeFolder("localize/defaultconfiguration");
        server.makeFolder("Localize/Prompts");
        server.write("support/RecordBeep.wav", testing::canonicalWave(1, 8000));
        server.write("Stream Files/greet\xE9ing.wav", testing::canonicalWave(1, 8000));

        GridWidget greetings;
        GridWidget prompts;
        const FileSystemObject fileSystem(server.prefix().string());
        QCOMPARE(testing::loadIntoGrids(fileSystem, greetings, prompts), LoadOutcome::Completed);
        QVERIFY(dialogs.messages.empty());
        QCOMPARE(greetings.Rows(), 2);

        const std::string bytes = "C:\\Corvel\\Stream Files\\greet\xE9ing.wav";
        const std::int32_t column = greetings.ColIndex("FileName");
        QCOMPARE(greetings.Cell(1, column).value(), bytes);

        const QString shown =
            greetings.gridModel().data(greetings.gridModel().index(0, column)).toString();
        QCOMPARE(shown, QStringLiteral("C:\\Corvel\\Stream Files\\greet\uFFFDing.wav"));

        // Sorting by the name compares what is shown and loses nothing.
        greetings.sortByColumn(column, Qt::DescendingOrder);
        QCOMPARE(greetings.Cell(1, column).value(), bytes);

        greetings.selectRow(0);
        const std::string copied = greetings.selectedRowsAsCsv();
        QVERIFY2(copied.find("," + bytes + ",") != std::string::npos, copied.c_str());
    }
};

QTEST_MAIN(NonUtf8NameGridTest)
#include "non_utf8_name_grid_test.moc"
