// The entry procedure (Module1): the language, the splash screen while the main window loads
// and runs the first scan, then the main window's events until it is closed.

#include "app/frm_splash_screen.h"
#include "localize/language_state.h"
#include "platform/paths/wine_prefix.h"
#include "ui/face_substitutes.h"
#include "ui/form_localization.h"
#include "ui/frm_about.h"
#include "ui/frm_help.h"
#include "ui/frm_main.h"
#include "ui/keyboard_focus.h"
#include "ui/qt_user_dialogs.h"
#include "ui/window_icon.h"

#include <cstdio>
#include <optional>
#include <QApplication>
#include <QCommandLineParser>
#include <QStringList>
#include <string>

namespace tambrel::Module1 {

// Kept for the life of the program. Plain pointers: an immediate end (std::exit) must not run
// widget destructors after the application object has stopped caring for them.
frmMain* mainWindow = nullptr;
SplashScreen* splashScreen = nullptr;

std::optional<std::string> givenRoot;

void Main() {
    InitalizeLanguages();

    splashScreen = new SplashScreen;
    splashScreen->showCentred();

    mainWindow = new frmMain;
    mainWindow->setAboutBoxOpener([] { showAboutBox(mainWindow); });
    mainWindow->setHelpWindowOpener([] { showHelpWindow(mainWindow); });
    mainWindow->setSplashScreenHooks(splashScreen);
    mainWindow->setGivenRoot(givenRoot);
    // Ends the program inside when the server is too old, the splash screen still up.
    mainWindow->Form_Load();
    mainWindow->show();

    splashScreen->unload();
}

} // namespace tambrel::Module1

namespace {

void print(std::FILE* stream, const QString& text) {
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stream);
}

// The options are read before any window system is touched, so --help and --version work
// without a display. Returns an exit status when the program is to end at once.
std::optional<int> takeCommandLine(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Lists the codec, sample rate, date and size of every greeting, voice name and prompt "
        "of a Corvel server."));
    const QCommandLineOption prefix(
        QStringLiteral("prefix"),
        QStringLiteral("The Wine-style prefix that holds the server (default: $WINEPREFIX, "
                       "else ~/.wine)."),
        QStringLiteral("DIR"));
    const QCommandLineOption root(QStringLiteral("root"),
                                  QStringLiteral("The server's install root, given directly: no "
                                                 "registry read and no version check."),
                                  QStringLiteral("PATH"));
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Shows this text."));
    const QCommandLineOption version(QStringLiteral("version"),
                                     QStringLiteral("Shows the program's version."));
    parser.addOptions({prefix, root, help, version});
    if (!parser.parse(arguments)) {
        print(stderr, QStringLiteral("tambrel: ") + parser.errorText() + QStringLiteral("\n"));
        return 2;
    }
    if (!parser.positionalArguments().isEmpty()) {
        print(stderr, QStringLiteral("tambrel: unexpected argument '") +
                          parser.positionalArguments().front() + QStringLiteral("'\n"));
        return 2;
    }
    if (parser.isSet(help)) {
        print(stdout, QStringLiteral("Usage: tambrel [options]\n\n") +
                          parser.applicationDescription() + QStringLiteral("\n\nOptions:\n") +
                          QStringLiteral("  --prefix DIR   ") + prefix.description() +
                          QStringLiteral("\n  --root PATH    ") + root.description() +
                          QStringLiteral("\n  -h, --help     ") + help.description() +
                          QStringLiteral("\n  --version      ") + version.description() +
                          QStringLiteral("\n"));
        return 0;
    }
    if (parser.isSet(version)) {
        print(stdout, QStringLiteral("Tambrel ") +
                          QString::fromStdString(tambrel::versionLine(tambrel::programVersion())) +
                          QStringLiteral("\n"));
        return 0;
    }
    for (const QCommandLineOption* option : {&prefix, &root}) {
        if (parser.isSet(*option) && parser.value(*option).isEmpty()) {
            print(stderr, QStringLiteral("tambrel: option --") + option->names().front() +
                              QStringLiteral(" needs a value that is not empty\n"));
            return 2;
        }
    }
    if (parser.isSet(prefix))
        tambrel::setWinePrefixPath(parser.value(prefix).toStdString());
    if (parser.isSet(root))
        tambrel::Module1::givenRoot = parser.value(root).toStdString();
    return std::nullopt;
}

} // namespace

int main(int argc, char** argv) {
    if (const std::optional<int> status = takeCommandLine(argc, argv))
        return *status;
    QApplication application(argc, argv);
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
