// The splash screen: its placing on screens of any size, its controls at their design places,
// its text in the language in force, its loading and unloading, and that a hidden splash screen
// never keeps the program running once the main window is closed.

#include "app/frm_splash_screen.h"
#include "localize/language_state.h"
#include "tests/ui/language_scope.h"
#include "ui/form_registry.h"

#include <algorithm>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using namespace tambrel;
using tambrel::testing::GermanLibrary;
using tambrel::testing::LanguageScope;

namespace {

bool isLoaded(QWidget* form) {
    const std::vector<QWidget*> forms = loadedForms();
    return std::find(forms.begin(), forms.end(), form) != forms.end();
}

QRect twipsRect(int left, int top, int width, int height) {
    // The offscreen screen has 96 dots per inch: 15 twips to the pixel.
    return {left / 15, top / 15, width / 15, height / 15};
}

} // namespace

class SplashScreenTest : public QObject {
    Q_OBJECT
private slots:
    void init() { resetLanguageState(); }

    void centredOnAnyScreen_data() {
        QTest::addColumn<float>("screenWidth");
        QTest::addColumn<float>("screenHeight");
        QTest::addColumn<float>("left");
        QTest::addColumn<float>("top");
        QTest::newRow("FullHd") << 28800.0f << 16200.0f << 11910.0f << 7417.5f;
        QTest::newRow("OddTwips") << 12001.0f << 9001.0f << 3510.5f << 3818.0f;
        QTest::newRow("NarrowerThanTheForm") << 3000.0f << 9000.0f << -990.0f << 3817.5f;
        QTest::newRow("LowerThanTheForm") << 9000.0f << 1000.0f << 2010.0f << -182.5f;
    }
    void centredOnAnyScreen() {
        QFETCH(float, screenWidth);
        QFETCH(float, screenHeight);
        QFETCH(float, left);
        QFETCH(float, top);
        const TwipsPosition position =
            centredPosition(screenWidth, screenHeight, frmSplashScreen::kClientWidth,
                            frmSplashScreen::kClientHeight);
        QCOMPARE(position.left, left);
        QCOMPARE(position.top, top);
    }

    void controlsSitAtTheirDesignPlaces() {
        frmSplashScreen splash;
        QVERIFY(splash.windowFlags().testFlag(Qt::FramelessWindowHint));
        QCOMPARE(splash.size(), QSize(4980 / 15, 1365 / 15));
        QCOMPARE(splash.Frame1()->geometry(), twipsRect(60, -60, 4875, 1395));
        QCOMPARE(splash.Label1()->parentWidget(), splash.Frame1());
        QCOMPARE(splash.Label1()->geometry(), twipsRect(240, 540, 4335, 555));
        QVERIFY(splash.Label1()->wordWrap());
    }

    void loadingGivesTheTextOfTheLanguageInForce_data() {
        QTest::addColumn<int>("languageID");
        QTest::addColumn<bool>("german");
        QTest::newRow("English") << 1033 << false;
        QTest::newRow("GermanLibrary") << 1031 << true;
    }
    void loadingGivesTheTextOfTheLanguageInForce() {
        QFETCH(int, languageID);
        QFETCH(bool, german);
        LanguageScope scope(languageID, german ? GermanLibrary::Present : GermanLibrary::Absent);
        frmSplashScreen splash;
        QVERIFY(splash.Label1()->text().isEmpty());
        splash.Form_Load();
        const QString expected = QString::fromStdString(mymyLoadString(21));
        QCOMPARE(splash.Label1()->text(), expected);
        if (german)
            QVERIFY(!expected.startsWith(QStringLiteral("Loading WAV file")));
        else
            QCOMPARE(expected, QStringLiteral("Loading WAV file codec information for all "
                                              "prompts, greetings and voice names.  This may "
                                              "take a minute or two..."));
    }

    void reinitialisedByName() {
        frmSplashScreen splash;
        splash.Label1()->setText(QStringLiteral("stale"));
        QVERIFY(QMetaObject::invokeMethod(&splash, "frmSplashScreen_Auto_Init"));
        QCOMPARE(splash.Label1()->text(), QString::fromStdString(mymyLoadString(21)));
    }

    void loadedAtFirstUseHiddenByAReloadAndUnloaded() {
        SplashScreen splash;
        QVERIFY(!splash.loaded());
        splash.showCentred();
        QVERIFY(splash.loaded());
        frmSplashScreen* form = &splash.form();
        QVERIFY(form->isVisible());
        QVERIFY(isLoaded(form));
        const QRect screen = form->screen()->geometry();
        QVERIFY(qAbs(form->geometry().center().x() - screen.center().x()) <= 1);
        QVERIFY(qAbs(form->geometry().center().y() - screen.center().y()) <= 1);

        splash.hide();
        QVERIFY(splash.loaded());
        QVERIFY(!form->isVisible());
        QVERIFY(isLoaded(form));

        QPointer<frmSplashScreen> watched(form);
        splash.unload();
        QVERIFY(watched.isNull());
        QVERIFY(!isLoaded(form));
    }

    void countsFilesAsABareNumberAndForgetsThemOnTheNextShow() {
        SplashScreen splash;
        splash.showCentred();
        splash.showFilesExamined(1536);
        QCOMPARE(splash.form().filesExaminedLabel()->text(), QStringLiteral("1536"));
        splash.hide();
        // Counting while hidden paints nothing.
        splash.showFilesExamined(2048);
        QCOMPARE(splash.form().filesExaminedLabel()->text(), QStringLiteral("1536"));
        splash.showCentred();
        QVERIFY(splash.form().filesExaminedLabel()->text().isEmpty());
    }

    void aHiddenSplashScreenDoesNotKeepTheProgramRunning() {
        // As after a reload: loaded, hidden, never unloaded.
        SplashScreen splash;
        splash.showCentred();
        splash.hide();
        QWidget mainWindow;
        mainWindow.show();
        QVERIFY(QTest::qWaitForWindowExposed(&mainWindow));
        QTimer::singleShot(0, &mainWindow, [&mainWindow] { mainWindow.close(); });
        // Ending with 1 instead means the program would have stayed up.
        QTimer::singleShot(5000, qApp, [] { QCoreApplication::exit(1); });
        QCOMPARE(QApplication::exec(), 0);
    }
};

QTEST_MAIN(SplashScreenTest)
#include "splash_screen_test.moc"
