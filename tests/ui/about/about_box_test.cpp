// The About box: its version line, the language menu built from the libraries beside the
// program, the switch that turns every loaded window into the new language, its lifecycle,
// and labels that hold their texts in every shipped language.
#include "localize/access_keys.h"
#include "localize/language_names.h"
#include "localize/library_files.h"
#include "localize/string_table.h"
#include "tests/support/recording_dialogs.h"
#include "tests/ui/about/program_folder.h"
#include "ui/form_localization.h"
#include "ui/form_registry.h"
#include "ui/frm_about.h"
#include "ui/frm_help.h"
#include "ui/frm_main.h"
#include "ui/grid_widget.h"

#include <memory>
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>

using namespace tambrel;
using namespace tambrel::testing;

namespace {

QString qtText(const std::string& text) {
    return QString::fromStdString(text);
}

QStringList captions(const QMenu& menu) {
    QStringList result;
    for (const QAction* item : menu.actions())
        result << item->text();
    return result;
}

QStringList tags(const QMenu& menu) {
    QStringList result;
    for (const QAction* item : menu.actions())
        result << item->data().toString();
    return result;
}

QString labelText(const QWidget& form, const char* name) {
    const auto* label = form.findChild<QLabel*>(QString::fromLatin1(name));
    return label ? label->text() : QStringLiteral("<missing>");
}

// The About box of a test, unloaded at the end as the close box does.
struct LoadedAboutBox {
    explicit LoadedAboutBox(QWidget* owner = nullptr) : box(&aboutBox(owner)) {}
    ~LoadedAboutBox() { delete box.data(); }
    frmAbout* operator->() const { return box.data(); }
    QPointer<frmAbout> box;
};

const char* const kLabels[] = {"lblVersionTitle",    "lblVersion",        "lblCopyright",
                               "lblTrademark",       "lblChangeLanguage", "lblPelloraAddress1",
                               "lblPelloraAddress2", "lblPelloraAddress3"};

} // namespace

Q_DECLARE_METATYPE(std::vector<std::string>)

class AboutBoxTest : public QObject {
    Q_OBJECT
private slots:
    void versionLine_data();
    void versionLine();
    void languageMenu_data();
    void languageMenu();
    void choosingALanguageSwitchesEveryLoadedWindow_data();
    void choosingALanguageSwitchesEveryLoadedWindow();
    void choosingNoLanguagesLoadedKeepsEnglish();
    void theLinkOpensTheMenuAtTheMouse();
    void okHidesAndTheNextOpeningKeepsTheMenu();
    void theCloseBoxUnloadsAndTheNextOpeningReadsTheFolderAgain();
    void labelsHoldTheirTexts_data();
    void labelsHoldTheirTexts();
    void englishLibraryHoldsTheBuiltInTable();
};

void AboutBoxTest::versionLine_data() {
    QTest::addColumn<int>("major");
    QTest::addColumn<int>("minor");
    QTest::addColumn<int>("revision");
    QTest::addColumn<QString>("expected");
    QTest::newRow("this build") << 1 << 0 << 12 << "1.0 Build12";
    QTest::newRow("revision 0") << 1 << 0 << 0 << "1.0 Build0";
    QTest::newRow("two-digit numbers") << 10 << 25 << 3012 << "10.25 Build3012";
}

void AboutBoxTest::versionLine() {
    QFETCH(int, major);
    QFETCH(int, minor);
    QFETCH(int, revision);
    QFETCH(QString, expected);
    ProgramFolder folder;
    ProgramFolder::startIn(1033);
    QCOMPARE(qtText(tambrel::versionLine({major, minor, revision})), expected);
}

void AboutBoxTest::languageMenu_data() {
    QTest::addColumn<std::vector<std::string>>("libraries"); // names the German library takes
    QTest::addColumn<QStringList>("expectedCaptions");
    QTest::addColumn<QStringList>("expectedTags");
    const QString german = qtText(strLanguageNameFromAbbrev("DEU"));
    const QString english = qtText(strLanguageNameFromID(1033));
    QTest::newRow("no library") << std::vector<std::string>{} << QStringList{"no languages loaded"}
                                << QStringList{"1033"};
    QTest::newRow("one library") << std::vector<std::string>{"Tambrel_DEU.dll"}
                                 << QStringList{german} << QStringList{"1031"};
    QTest::newRow("unknown abbreviation, named and tagged as 1033")
        << std::vector<std::string>{"Tambrel_KOR.dll"} << QStringList{english}
        << QStringList{"1033"};
    QTest::newRow("the program's own ENX")
        << std::vector<std::string>{"Tambrel_ENX.dll"} << QStringList{"English (TDD/TTY)"}
        << QStringList{"33801"};
    QTest::newRow("a file that is no language library is not listed")
        << std::vector<std::string>{"Other_DEU.dll"} << QStringList{"no languages loaded"}
        << QStringList{"1033"};
}

void AboutBoxTest::languageMenu() {
    QFETCH(std::vector<std::string>, libraries);
    QFETCH(QStringList, expectedCaptions);
    QFETCH(QStringList, expectedTags);
    RecordingDialogs dialogs;
    ProgramFolder folder;
    for (const std::string& name : libraries)
        folder.addLibrary("Tambrel_DEU.dll", name);
    ProgramFolder::startIn(1033);

    LoadedAboutBox box;
    QCOMPARE(captions(*box->mnuSelectLanguage()), expectedCaptions);
    QCOMPARE(tags(*box->mnuSelectLanguage()), expectedTags);
    QCOMPARE(labelText(*box.box, "lblVersion"), QStringLiteral("1.0 Build12"));
    QVERIFY(dialogs.messages.empty());
}

// Several libraries are listed one item each, in the folder's own listing order.
void AboutBoxTest::choosingALanguageSwitchesEveryLoadedWindow_data() {
    QTest::addColumn<int>("startID");
    QTest::addColumn<int>("languageID");
    QTest::addColumn<QString>("changeLanguage");
    QTest::addColumn<QString>("reload");
    QTest::addColumn<QString>("helpCaption");
    QTest::addColumn<QString>("faceName");
    // Qt's own buttons (message boxes, the file dialog) switch with the program's texts.
    QTest::addColumn<QString>("yesButton");
    QTest::newRow("German") << 1033 << 1031 << QString::fromUtf8("Sprache ändern")
                            << "Dateien neu laden" << QString::fromUtf8("Lautstärke einstellen")
                            << QString() << "&Ja";
    QTest::newRow("Japanese") << 1033 << 1041 << QString::fromUtf8("言語の変更")
                              << QString::fromUtf8("ファイルの再読み込み")
                              << QString::fromUtf8("音量の設定") << languageFontFor(1041).faceName
                              << QString::fromUtf8("はい(&Y)");
    // The English library is always listed, so there is a way back without a restart.
    QTest::newRow("back to English from German") << 1031 << 1033 << "Change Language"
                                                 << "Reload Files"
                                                 << "Set Volume" << QString() << "&Yes";
}

void AboutBoxTest::choosingALanguageSwitchesEveryLoadedWindow() {
    QFETCH(int, startID);
    QFETCH(int, languageID);
    QFETCH(QString, changeLanguage);
    QFETCH(QString, reload);
    QFETCH(QString, helpCaption);
    QFETCH(QString, faceName);
    QFETCH(QString, yesButton);
    RecordingDialogs dialogs;
    ProgramFolder folder;
    for (const char* library : {"Tambrel_ENU.dll", "Tambrel_DEU.dll", "Tambrel_JPN.dll"})
        folder.addLibrary(library, library);
    installFormLocalization();
    ProgramFolder::startIn(startID);

    frmMain main;
    main.frmMain_Auto_Init();
    for (int row = 0; row < 3; ++row)
        QVERIFY(main.gridGreetings().AddItem("", main.gridGreetings().Rows()).ok());
    (void)main.gridGreetings().SetCell(1, main.gridGreetings().ColIndex("Codec"), "PCM 16");
    auto* help = new frmHelp(&main);
    LoadedAboutBox box(&main);

    // One item per library, in the order the folder lists them.
    QStringList listed;
    const Result<std::vector<std::string>> names = listFileNames(folder.path());
    QVERIFY(names.ok());
    for (const std::string& name : *names)
        if (std::optional<std::string> abbreviation = libraryAbbreviation(name, "tambrel"))
            listed << qtText(strLanguageNameFromAbbrev(*abbreviation));
    QCOMPARE(captions(*box->mnuSelectLanguage()), listed);

    const QList<QAction*> items = box->mnuSelectLanguage()->actions();
    int index = -1;
    for (int candidate = 0; candidate < items.size(); ++candidate)
        if (items[candidate]->data().toString() == QString::number(languageID))
            index = candidate;
    QVERIFY(index >= 0);
    items[index]->trigger();

    QCOMPARE(CurrentLanguageID, languageID);
    QCOMPARE(labelText(*box.box, "lblChangeLanguage"), changeLanguage);
    QCOMPARE(QString::fromStdString(withoutAccessKeyMarker(
                 main.findChild<QPushButton*>("cmdReload")->text().toStdString())),
             reload);
    QCOMPARE(help->windowTitle(), helpCaption);
    QCOMPARE(main.gridGreetings().Rows(), 4);
    QCOMPARE(QString::fromStdString(
                 *main.gridGreetings().Cell(1, main.gridGreetings().ColIndex("Codec"))),
             QStringLiteral("PCM 16"));
    if (!faceName.isEmpty()) {
        QCOMPARE(box->findChild<QLabel*>("lblCopyright")->font().families().value(0), faceName);
        QCOMPARE(main.findChild<QPushButton*>("cmdReload")->font().families().value(0), faceName);
    }
    // The menu is not rebuilt by a switch; the version line, which carries string 0, follows it.
    QCOMPARE(labelText(*box.box, "lblVersion"),
             QStringLiteral("1.0") + qtText(mymyLoadString(0)) + QStringLiteral("12"));
    QCOMPARE(captions(*box->mnuSelectLanguage()), listed);
    QCOMPARE(dialogs.pointers,
             (std::vector<MousePointer>{MousePointer::Hourglass, MousePointer::Default}));
    QVERIFY(dialogs.messages.empty());
    QVERIFY(box->isVisible() == false); // never shown here; the switch shows nothing either
    QMessageBox question(QMessageBox::Question, "", "", QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(question.button(QMessageBox::Yes)->text(), yesButton);
    delete help;
    setLoadedFormsFontPass({});
}

void AboutBoxTest::choosingNoLanguagesLoadedKeepsEnglish() {
    RecordingDialogs dialogs;
    ProgramFolder folder;
    ProgramFolder::startIn(1031); // German asked for, but no library beside the program
    LoadedAboutBox box;
    box->mnuLanguageList_Click(0);
    QCOMPARE(CurrentLanguageID, 1033);
    QCOMPARE(labelText(*box.box, "lblChangeLanguage"), QStringLiteral("Change Language"));
    QCOMPARE(box->mnuSelectLanguage()->title(), QStringLiteral("Select Language"));
}

void AboutBoxTest::theLinkOpensTheMenuAtTheMouse() {
    RecordingDialogs dialogs;
    ProgramFolder folder;
    ProgramFolder::startIn(1033);
    LoadedAboutBox box;
    box->show();
    QVERIFY(QTest::qWaitForWindowExposed(box.box));
    auto* link = box->findChild<QLabel*>("lblChangeLanguage");
    QCOMPARE(link->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    QVERIFY(link->font().underline());
    QCursor::setPos(link->mapToGlobal(QPoint(3, 3)));
    QTest::mouseClick(link, Qt::LeftButton, {}, QPoint(3, 3));
    QTRY_VERIFY(box->mnuSelectLanguage()->isVisible());
    QCOMPARE(box->mnuSelectLanguage()->pos(), QCursor::pos());
    box->mnuSelectLanguage()->hide();
    // Dismissed without a choice: nothing changed.
    QCOMPARE(CurrentLanguageID, 1033);
    QVERIFY(dialogs.pointers.empty());
}

void AboutBoxTest::okHidesAndTheNextOpeningKeepsTheMenu() {
    RecordingDialogs dialogs;
    ProgramFolder folder;
    ProgramFolder::startIn(1033);
    LoadedAboutBox box;
    box->show();
    QVERIFY(QTest::qWaitForWindowExposed(box.box));
    QTest::mouseClick(box->findChild<QPushButton*>("cmdOK"), Qt::LeftButton);
    QVERIFY(!box->isVisible());
    QVERIFY(loadedAboutBox() == box.box);
    QVERIFY(loadedForms().end() !=
            std::find(loadedForms().begin(), loadedForms().end(), box.box.data()));

    folder.addLibrary("Tambrel_DEU.dll", "Tambrel_DEU.dll");
    QVERIFY(&aboutBox(nullptr) == box.box);
    QCOMPARE(captions(*box->mnuSelectLanguage()), QStringList{"no languages loaded"});
}

void AboutBoxTest::theCloseBoxUnloadsAndTheNextOpeningReadsTheFolderAgain() {
    RecordingDialogs dialogs;
    ProgramFolder folder;
    ProgramFolder::startIn(1033);
    QPointer<frmAbout> first = &aboutBox(nullptr);
    first->show();
    QVERIFY(QTest::qWaitForWindowExposed(first));
    first->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(first.isNull());
    QVERIFY(loadedAboutBox() == nullptr);

    folder.addLibrary("Tambrel_DEU.dll", "Tambrel_DEU.dll");
    LoadedAboutBox second;
    QCOMPARE(tags(*second->mnuSelectLanguage()), QStringList{"1031"});
}

void AboutBoxTest::labelsHoldTheirTexts_data() {
    QTest::addColumn<int>("languageID");
    QTest::newRow("English") << 1033;
    QTest::newRow("German") << 1031;
    QTest::newRow("Japanese") << 1041;
}

// Every text shows whole: no label is narrower or lower than its text needs, none runs into
// another control or out of the window.
void AboutBoxTest::labelsHoldTheirTexts() {
    QFETCH(int, languageID);
    RecordingDialogs dialogs;
    ProgramFolder folder;
    folder.addLibrary("Tambrel_DEU.dll", "Tambrel_DEU.dll");
    folder.addLibrary("Tambrel_JPN.dll", "Tambrel_JPN.dll");
    ProgramFolder::startIn(languageID);
    LoadedAboutBox box;
    box->show();
    QVERIFY(QTest::qWaitForWindowExposed(box.box));

    QList<QWidget*> controls;
    for (const char* name : kLabels) {
        auto* label = box->findChild<QLabel*>(QString::fromLatin1(name));
        QVERIFY2(label, name);
        const QFontMetrics metrics = label->fontMetrics();
        const QRect needed = metrics.boundingRect(QRect(0, 0, label->width(), 10000),
                                                  Qt::TextWordWrap, label->text());
        QVERIFY2(needed.width() <= label->width(), name);
        QVERIFY2(needed.height() <= label->height(), name);
        controls << label;
    }
    controls << box->findChild<QWidget*>("picCorvelLogo")
             << box->findChild<QWidget*>("picPelloraLogo") << box->findChild<QWidget*>("cmdOK");
    for (QWidget* control : controls) {
        QVERIFY2(box->rect().contains(control->geometry()), qPrintable(control->objectName()));
        for (QWidget* other : controls)
            if (other != control)
                QVERIFY2(!control->geometry().intersects(other->geometry()),
                         qPrintable(control->objectName() + " overlaps " + other->objectName()));
    }
}

void AboutBoxTest::englishLibraryHoldsTheBuiltInTable() {
    ProgramFolder folder;
    folder.addLibrary("Tambrel_ENU.dll", "Tambrel_ENU.dll");
    ProgramFolder::startIn(1033);
    QVERIFY(hLanguageModule != 0);
    for (std::int32_t id = 0; id < kStringTableSize; ++id)
        QCOMPARE(QString::fromStdString(mymyLoadString(id)),
                 QString::fromUtf8(builtInString(id).value_or("").data(),
                                   static_cast<qsizetype>(builtInString(id).value_or("").size())));
}

QTEST_MAIN(AboutBoxTest)
#include "about_box_test.moc"
