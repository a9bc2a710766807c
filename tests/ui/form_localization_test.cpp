// The font rule per language, the forms registry and the re-application pass after a switch.
#include "tests/ui/language_scope.h"
#include "ui/form_localization.h"
#include "ui/form_registry.h"
#include "ui/frm_main.h"
#include "ui/grid_widget.h"
#include "ui/qt_user_dialogs.h"

#include <memory>
#include <QApplication>
#include <QGroupBox>
#include <QHeaderView>
#include <QMenuBar>
#include <QPushButton>
#include <QTableView>
#include <QTest>

using namespace tambrel;
using namespace tambrel::testing;

namespace {

// A form of the smallest kind: a label-like control and a count of its _Auto_Init runs.
class frmSample : public QWidget {
    Q_OBJECT
public:
    frmSample() {
        setObjectName("frmSample");
        control = new QPushButton(this);
        registerForm(this);
    }
    ~frmSample() override { unregisterForm(this); }
    Q_INVOKABLE void frmSample_Auto_Init() {
        LocalizeFormFonts(this);
        ++autoInitRuns;
        control->setText(QString::fromStdString(mymyLoadString(13)));
    }
    QPushButton* control;
    int autoInitRuns = 0;
};

// A form without an _Auto_Init operation: the pass passes it by silently.
class frmWithoutAutoInit : public QWidget {
public:
    frmWithoutAutoInit() {
        setObjectName("frmWithoutAutoInit");
        registerForm(this);
    }
    ~frmWithoutAutoInit() override { unregisterForm(this); }
};

} // namespace

class FormLocalizationTest : public QObject {
    Q_OBJECT
private slots:
    void fontTable_data();
    void fontTable();
    void controlsTakeTheLanguagesFace_data();
    void controlsTakeTheLanguagesFace();
    void backToEnglishRestoresTheDefaultFamily();
    void formsAreListedInLoadOrder();
    void relocalizingRunsEachFormsAutoInitByName();
    void theFontHookReachesLoadedForms();
    void hourglassIsShownOnceAndRestored();
};

void FormLocalizationTest::fontTable_data() {
    QTest::addColumn<int>("language");
    QTest::addColumn<int>("characterSet");
    QTest::addColumn<QString>("face");
    QTest::newRow("Japanese") << 1041 << 128
                              << QString::fromUtf16(u"\uFF2D\uFF33 \uFF30\u30B4\u30B7\u30C3\u30AF");
    QTest::newRow("Korean") << 1042 << 129 << QString::fromUtf16(u"\uAD74\uB9BC");
    QTest::newRow("Chinese (Taiwan)")
        << 1028 << 136 << QString::fromUtf16(u"\u65B0\u7D30\u660E\u9AD4");
    QTest::newRow("Chinese (PRC)") << 2052 << 134 << QString::fromUtf16(u"\u5B8B\u4F53");
    QTest::newRow("Chinese (Hong Kong)") << 3076 << 1 << QString();
    QTest::newRow("Chinese (Singapore)") << 4100 << 1 << QString();
    QTest::newRow("English") << 1033 << 1 << QString();
    QTest::newRow("German") << 1031 << 1 << QString();
}

void FormLocalizationTest::fontTable() {
    QFETCH(int, language);
    QFETCH(int, characterSet);
    QFETCH(QString, face);
    const LanguageFont row = languageFontFor(language);
    QCOMPARE(row.characterSet, characterSet);
    QCOMPARE(row.faceName, face);
    QCOMPARE(row.faceName.isEmpty(), face.isEmpty());
}

void FormLocalizationTest::controlsTakeTheLanguagesFace_data() {
    QTest::addColumn<int>("language");
    QTest::newRow("Japanese") << 1041;
    QTest::newRow("Korean") << 1042;
    QTest::newRow("Chinese (Hong Kong)") << 3076;
    QTest::newRow("English") << 1033;
}

void FormLocalizationTest::controlsTakeTheLanguagesFace() {
    QFETCH(int, language);
    LanguageScope scope(language);
    frmMain form;
    const QString menuFamily = form.menuBar()->font().family();
    LocalizeFormFonts(&form);
    const QString expected = languageFontFor(language).faceName.isEmpty()
                                 ? QApplication::font().family()
                                 : languageFontFor(language).faceName;
    for (const char* name : {"frameGreetingsAndVoiceNames", "framePrompts", "gridGreetings",
                             "gridPrompts", "cmdReload", "cmdExit"}) {
        auto* control = form.findChild<QWidget*>(name);
        QVERIFY2(control, name);
        QCOMPARE(control->font().family(), expected);
    }
    QCOMPARE(form.gridGreetings().horizontalHeader()->font().family(), expected);
    // Rows grow with a taller face rather than clip it.
    QVERIFY(form.gridGreetings().verticalHeader()->defaultSectionSize() >
            form.gridGreetings().fontMetrics().height());
    QCOMPARE(form.menuBar()->font().family(), menuFamily);
}

void FormLocalizationTest::backToEnglishRestoresTheDefaultFamily() {
    LanguageScope scope(1042);
    frmMain form;
    LocalizeFormFonts(&form);
    QCOMPARE(form.findChild<QWidget*>("cmdExit")->font().family(), languageFontFor(1042).faceName);
    scope.switchTo(1033);
    LocalizeFormFonts(&form);
    QCOMPARE(form.findChild<QWidget*>("cmdExit")->font().family(), QApplication::font().family());
}

void FormLocalizationTest::formsAreListedInLoadOrder() {
    auto first = std::make_unique<frmSample>();
    auto second = std::make_unique<frmWithoutAutoInit>();
    registerForm(first.get()); // registering again keeps the first place
    QCOMPARE(loadedForms(), (std::vector<QWidget*>{first.get(), second.get()}));
    first.reset();
    QCOMPARE(loadedForms(), (std::vector<QWidget*>{second.get()}));
}

void FormLocalizationTest::relocalizingRunsEachFormsAutoInitByName() {
    LanguageScope scope(1033, GermanLibrary::Present);
    frmWithoutAutoInit silent;
    frmSample sample;
    scope.switchTo(1031);
    RelocalizeAllForms();
    QCOMPARE(sample.autoInitRuns, 1);
    QCOMPARE(sample.control->text(), QString("Beenden"));
    // The same language again leaves every text as it was.
    scope.switchTo(1031);
    RelocalizeAllForms();
    QCOMPARE(sample.autoInitRuns, 2);
    QCOMPARE(sample.control->text(), QString("Beenden"));
}

void FormLocalizationTest::theFontHookReachesLoadedForms() {
    LanguageScope scope(1033);
    installFormLocalization();
    frmSample sample;
    scope.switchTo(1041); // InitalizeLanguages runs the font pass over the loaded forms
    QCOMPARE(sample.control->font().family(), languageFontFor(1041).faceName);
    QCOMPARE(sample.autoInitRuns, 0);
    setLoadedFormsFontPass({});
}

void FormLocalizationTest::hourglassIsShownOnceAndRestored() {
    QtUserDialogs dialogs;
    dialogs.setMousePointer(MousePointer::Hourglass);
    dialogs.setMousePointer(MousePointer::Hourglass);
    QVERIFY(QApplication::overrideCursor());
    QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    dialogs.setMousePointer(MousePointer::Default);
    QVERIFY(!QApplication::overrideCursor());
    dialogs.setMousePointer(MousePointer::Default);
    QVERIFY(!QApplication::overrideCursor());
}

QTEST_MAIN(FormLocalizationTest)
#include "form_localization_test.moc"
