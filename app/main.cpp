// The entry procedure (Module1): the language, the splash screen while the main window loads
// and runs the first scan, then the main window's events until it is closed.

#include "app/frm_splash_screen.h"
#include "localize/language_state.h"
#include "localize/own_texts.h"
#include "platform/paths/wine_prefix.h"
#include "ui/face_substitutes.h"
#include "ui/form_localization.h"
#include "ui/frm_about.h"
#include "ui/frm_help.h"
#include "ui/frm_main.h"
#include "ui/grid_widget.h"
#include "ui/keyboard_focus.h"
#include "ui/qt_user_dialogs.h"
#include "ui/start_report.h"
#include "ui/window_icon.h"

#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <optional>
#include <QApplication>
#include <QCommandLineParser>
#include <QStringList>
#include <string>
#include <vector>

namespace tambrel::Module1 {

// Kept for the life of the program. Plain pointers: an immediate end (std::exit) must not run
// widget destructors after the application object has stopped caring for them.
frmMain* mainWindow = nullptr;
SplashScreen* splashScreen = nullptr;

std::optional<std::string> givenRoot;

void Main() {
    InitalizeLanguages();
    startReport::mark("languages");

    splashScreen = new SplashScreen;
    splashScreen->showCentred();
    startReport::mark("splash");

    mainWindow = new frmMain;
    startReport::mark("window");
    mainWindow->setAboutBoxOpener([] { showAboutBox(mainWindow); });
    mainWindow->setHelpWindowOpener([] { showHelpWindow(mainWindow); });
    mainWindow->setSplashScreenHooks(splashScreen);
    mainWindow->setGivenRoot(givenRoot);
    // Ends the program inside when the server is too old, the splash screen still up.
    mainWindow->Form_Load();
    startReport::finishAfterFirstPaint(mainWindow->gridGreetings(), mainWindow->gridPrompts());
    mainWindow->show();
    startReport::mark("shown");

    splashScreen->unload();
    startReport::mark("splash unloaded");
}

} // namespace tambrel::Module1

namespace {

void print(std::FILE* stream, const QString& text) {
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stream);
}

// Own text `id` in the user's language; the library is opened for it, since the command line is
// read before the program's start-up sequence chooses the language.
QString ownText(std::int32_t id, std::initializer_list<std::string_view> arguments = {}) {
    if (tambrel::CurrentLanguageID == 0)
        tambrel::InitalizeLanguages();
    return QString::fromStdString(tambrel::texts::text(id, arguments));
}

// The options are read before any window system is touched, so --help and --version work
// without a display. Returns an exit status when the program is to end at once.
std::optional<int> takeCommandLine(int argc, char** argv) {
    using namespace tambrel;
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    QCommandLineParser parser;
    const QCommandLineOption prefix(QStringLiteral("prefix"), QString(), QStringLiteral("DIR"));
    const QCommandLineOption root(QStringLiteral("root"), QString(), QStringLiteral("PATH"));
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringLiteral("version"));
    parser.addOptions({prefix, root, help, version});
    if (!parser.parse(arguments)) {
        print(stderr, QStringLiteral("tambrel: ") + parser.errorText() + QStringLiteral("\n"));
        return 2;
    }
    if (!parser.positionalArguments().isEmpty()) {
        print(stderr, QStringLiteral("tambrel: ") +
                          ownText(texts::kUnexpectedArgument,
                                  {parser.positionalArguments().front().toStdString()}) +
                          QStringLiteral("\n"));
        return 2;
    }
    if (parser.isSet(help)) {
        print(stdout, ownText(texts::kWindowUsage) + QStringLiteral("\n\n") +
                          ownText(texts::kWindowPurpose) + QStringLiteral("\n\n") +
                          ownText(texts::kOptionsHeading) + QStringLiteral("\n  --prefix DIR   ") +
                          ownText(texts::kPrefixHelp) + QStringLiteral("\n  --root PATH    ") +
                          ownText(texts::kRootHelp) + QStringLiteral("\n  -h, --help     ") +
                          ownText(texts::kHelpHelp) + QStringLiteral("\n  --version      ") +
                          ownText(texts::kVersionHelp) + QStringLiteral("\n"));
        return 0;
    }
    if (parser.isSet(version)) {
        print(stdout, QStringLiteral("Tambrel ") +
                          QString::fromStdString(versionLine(programVersion())) +
                          QStringLiteral("\n"));
        return 0;
    }
    for (const QCommandLineOption* option : {&prefix, &root}) {
        if (parser.isSet(*option) && parser.value(*option).isEmpty()) {
            print(stderr, QStringLiteral("tambrel: ") +
                              ownText(texts::kNeedsNonEmptyValue,
                                      {"--" + option->names().front().toStdString()}) +
                              QStringLiteral("\n"));
            return 2;
        }
    }
    if (parser.isSet(prefix) && parser.isSet(root)) {
        print(stderr,
              QStringLiteral("tambrel: ") + ownText(texts::kPrefixOrRoot) + QStringLiteral("\n"));
        return 2;
    }
    if (parser.isSet(prefix))
        setWinePrefixPath(parser.value(prefix).toStdString());
    if (parser.isSet(root))
        Module1::givenRoot = parser.value(root).toStdString();
    return std::nullopt;
}

// Qt ends the program with its own plugin message when no window system answers. While the
// application object is made, its messages are held; a fatal one becomes one line of ours that
// says what is missing and where the same rows are to be had, and the status of bad usage.
QtMessageHandler qtHandler = nullptr;
struct HeldMessage {
    QtMsgType type;
    const char* file;
    int line;
    const char* function;
    const char* category;
    QString text;
};
std::vector<HeldMessage> heldMessages;

void holdMessage(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type != QtFatalMsg) {
        heldMessages.push_back(
            {type, context.file, context.line, context.function, context.category, message});
        return;
    }
    print(stderr, ownText(tambrel::texts::kNeedsDisplay) + QStringLiteral("\n"));
    std::fflush(stderr);
    std::_Exit(2);
}

} // namespace

int main(int argc, char** argv) {
    tambrel::startReport::mark("main");
    if (const std::optional<int> status = takeCommandLine(argc, argv))
        return *status;
    qtHandler = qInstallMessageHandler(holdMessage);
    QApplication application(argc, argv);
    qInstallMessageHandler(qtHandler);
    for (const HeldMessage& held : heldMessages)
        qt_message_output(held.type,
                          QMessageLogContext(held.file, held.line, held.function, held.category),
                          held.text);
    heldMessages.clear();
    tambrel::startReport::mark("application");
    QApplication::setApplicationName(QStringLiteral("Tambrel"));
    QApplication::setWindowIcon(tambrel::tambrelWindowIcon());
    tambrel::installFaceSubstitutes();
    // Closing the main window ends the program: the splash screen a reload leaves loaded is
    // hidden, and hidden windows do not keep it running.
    QApplication::setQuitOnLastWindowClosed(true);
    tambrel::installVisibleKeyboardFocus();
    tambrel::installQtUserDialogs();
    tambrel::installFormLocalization();

    tambrel::Module1::Main();
    const int status = QApplication::exec();
    delete tambrel::Module1::mainWindow;
    delete tambrel::Module1::splashScreen;
    return status;
}
