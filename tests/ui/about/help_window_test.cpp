// The help window: which page it shows for the language in force, the fallback URL, its layout
// with the minimum size, and its lifecycle as a loaded form.
#include "localize/language_names.h"
#include "tests/support/recording_dialogs.h"
#include "tests/ui/about/program_folder.h"
#include "ui/form_registry.h"
#include "ui/frm_help.h"
#include "ui/twips.h"

#include <algorithm>
#include <QPointer>
#include <QTest>
#include <QTextBrowser>

using namespace tambrel;
using namespace tambrel::testing;

Q_DECLARE_METATYPE(std::vector<std::string>)
Q_DECLARE_METATYPE(tambrel::HelpPageKind)

namespace {

bool isLoaded(QWidget* form) {
    const std::vector<QWidget*> forms = loadedForms();
    return std::find(forms.begin(), forms.end(), form) != forms.end();
}

} // namespace

class HelpWindowTest : public QObject {
    Q_OBJECT
private slots:
    void pageForTheLanguage_data();
    void pageForTheLanguage();
    void theWindowShowsTheChosenPage_data();
    void theWindowShowsTheChosenPage();
    void layout_data();
    void layout();
    void theWindowKeepsItsMinimumSize();
    void closingUnloads();
};

void HelpWindowTest::pageForTheLanguage_data() {
    QTest::addColumn<std::vector<std::string>>("pages"); // names the English page takes
    QTest::addColumn<int>("languageID");
    QTest::addColumn<tambrel::HelpPageKind>("kind");
    QTest::addColumn<QString>("fileName"); // of the target, in the program folder
    using Pages = std::vector<std::string>;
    QTest::newRow("language page present, found whatever its letter case")
        << Pages{"Tambrel_ENU.htm", "Tambrel.htm"} << 1033 << HelpPageKind::LanguagePage
        << "Tambrel_ENU.htm";
    QTest::newRow("language page absent: the fallback, spelled as on disk")
        << Pages{"Tambrel_ENU.htm", "Tambrel.htm"} << 1031 << HelpPageKind::FallbackUrl
        << "Tambrel.htm";
    QTest::newRow("both absent: the fallback URL all the same")
        << Pages{} << 1033 << HelpPageKind::FallbackUrl << "tambrel.htm";
    QTest::newRow("unknown language: ERR names the page, so the fallback shows")
        << Pages{"Tambrel_ENU.htm", "Tambrel.htm"} << 9999 << HelpPageKind::FallbackUrl
        << "Tambrel.htm";
    QTest::newRow("unknown language with an ERR page")
        << Pages{"tambrel_ERR.htm"} << 9999 << HelpPageKind::LanguagePage << "tambrel_ERR.htm";
    QTest::newRow("a folder, not a file, by the page's name")
        << Pages{} << 1031 << HelpPageKind::FallbackUrl << "tambrel.htm";
}

void HelpWindowTest::pageForTheLanguage() {
    QFETCH(std::vector<std::string>, pages);
    QFETCH(int, languageID);
    QFETCH(tambrel::HelpPageKind, kind);
    QFETCH(QString, fileName);
    ProgramFolder folder;
    for (const std::string& page : pages)
        folder.addHelpPage("Tambrel_ENU.htm", page);
    if (QByteArray(QTest::currentDataTag()).startsWith("a folder"))
        std::filesystem::create_directory(folder.path() + "/tambrel_DEU.htm");

    const HelpTarget target = helpTargetFor(programLocation(), languageID);
    QCOMPARE(target.kind, kind);
    const std::string path = folder.path() + "/" + fileName.toStdString();
    QCOMPARE(QString::fromStdString(target.text),
             QString::fromStdString(kind == HelpPageKind::FallbackUrl ? "file://" + path : path));
}

void HelpWindowTest::theWindowShowsTheChosenPage_data() {
    QTest::addColumn<int>("languageID");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("pageText"); // a line of the page shown
    QTest::newRow("English") << 1033 << "Set Volume"
                             << "Where Tambrel looks";
    QTest::newRow("German") << 1031 << QString::fromUtf8("Lautstärke einstellen")
                            << QString::fromUtf8("Wo Tambrel sucht");
    QTest::newRow("Japanese") << 1041 << QString::fromUtf8("音量の設定")
                              << QString::fromUtf8("Tambrel が調べる場所");
    QTest::newRow("no page for the language: the English fallback") << 1036 << "Set Volume"
                                                                    << "Where Tambrel looks";
}

void HelpWindowTest::theWindowShowsTheChosenPage() {
    QFETCH(int, languageID);
    QFETCH(QString, caption);
    QFETCH(QString, pageText);
    RecordingDialogs dialogs;
    ProgramFolder folder;
    folder.addLibrary("Tambrel_DEU.dll", "Tambrel_DEU.dll");
    folder.addLibrary("Tambrel_JPN.dll", "Tambrel_JPN.dll");
    for (const char* page :
         {"Tambrel.htm", "Tambrel_ENU.htm", "Tambrel_DEU.htm", "Tambrel_JPN.htm"})
        folder.addHelpPage(page, page);
    ProgramFolder::startIn(1033);
    // A switch made before Help is chosen decides the page.
    ProgramFolder::startIn(languageID);

    QPointer<frmHelp> window = new frmHelp;
    QCOMPARE(window->windowTitle(), caption);
    QCOMPARE(QString::fromStdString(window->navigatedTarget()),
             QString::fromStdString(helpTargetFor(programLocation(), languageID).text));
    QVERIFY2(window->browser()->toPlainText().contains(pageText),
             qPrintable(window->browser()->toPlainText().left(200)));
    QVERIFY(dialogs.messages.empty());
    delete window;
}

void HelpWindowTest::layout_data() {
    QTest::addColumn<float>("width");
    QTest::addColumn<float>("height");
    QTest::addColumn<float>("expectedWidth");
    QTest::addColumn<float>("expectedHeight");
    QTest::newRow("at the minimum") << 2500.F << 2400.F << 2500.F << 2400.F;
    QTest::newRow("below the minimum both ways") << 900.F << 300.F << 2500.F << 2400.F;
    QTest::newRow("only too narrow") << 2000.F << 6000.F << 2500.F << 6000.F;
    QTest::newRow("the design size") << 9525.F << 8445.F << 9525.F << 8445.F;
}

void HelpWindowTest::layout() {
    QFETCH(float, width);
    QFETCH(float, height);
    QFETCH(float, expectedWidth);
    QFETCH(float, expectedHeight);
    const HelpLayout layout = layOutHelpWindow(width, height);
    QCOMPARE(layout.outerWidth, expectedWidth);
    QCOMPARE(layout.outerHeight, expectedHeight);
    QCOMPARE(layout.browser.left, 100.F);
    QCOMPARE(layout.browser.top, 1.F);
    QCOMPARE(layout.browser.width, expectedWidth - 200);
    QCOMPARE(layout.browser.height, expectedHeight - 400);
}

void HelpWindowTest::theWindowKeepsItsMinimumSize() {
    RecordingDialogs dialogs;
    ProgramFolder folder;
    ProgramFolder::startIn(1033);
    frmHelp window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.setMinimumSize(0, 0);
    window.resize(20, 20);
    QTRY_COMPARE(window.frameGeometry().size(),
                 QSize(pixelsFromTwipsX(window, 2500), pixelsFromTwipsY(window, 2400)));
    const QRect browser = window.browser()->geometry();
    QCOMPARE(browser.topLeft(), QPoint(pixelsFromTwipsX(window, 100), pixelsFromTwipsY(window, 1)));
    QCOMPARE(browser.size(), QSize(pixelsFromTwipsX(window, 2300), pixelsFromTwipsY(window, 2000)));

    // Growing again lays the browser out for the new size. (The offscreen platform cannot
    // minimize a window, so the minimized case is left to the end-to-end run.)
    window.resize(pixelsFromTwipsX(window, 4000), pixelsFromTwipsY(window, 4000));
    QTRY_COMPARE(
        window.browser()->width(),
        pixelsFromTwipsX(window, window.frameGeometry().width() * twipsPerPixelX(window) - 200));
}

void HelpWindowTest::closingUnloads() {
    RecordingDialogs dialogs;
    ProgramFolder folder;
    ProgramFolder::startIn(1033);
    QPointer<frmHelp> window = new frmHelp;
    QVERIFY(isLoaded(window));
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(window.isNull());
    QVERIFY(!isLoaded(window));
}

QTEST_MAIN(HelpWindowTest)
#include "help_window_test.moc"
