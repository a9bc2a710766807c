// The entry procedure (Module1): the language, the splash screen while the main window loads
// and runs the first scan, then the main window's events until it is closed.

#include "app/frm_splash_screen.h"
#include "localize/language_state.h"
#include "ui/form_localization.h"
#include "ui/frm_about.h"
#include "ui/frm_help.h"
#include "ui/frm_main.h"
#include "ui/keyboard_focus.h"
#include "ui/qt_user_dialogs.h"
#include "ui/window_icon.h"

#include <QApplication>

namespace tambrel::Module1 {

// Kept for the life of the program. Plain pointers: an immediate end (std::exit) must not run
// widget destructors after the application object has stopped caring for them.
frmMain* mainWindow = nullptr;
SplashScreen* splashScreen = nullptr;

void Main() {
    InitalizeLanguages();

    splashScreen = new SplashScreen;
    splashScreen->showCentred();

    mainWindow = new frmMain;
    mainWindow->setAboutBoxOpener([] { showAboutBox(mainWindow); });
    mainWindow->setHelpWindowOpener([] { showHelpWindow(mainWindow); });
    mainWindow->setSplashScreenHooks(splashScreen);
    // Ends the program inside when the server is too old, the splash screen still up.
    mainWindow->Form_Load();
    mainWindow->show();

    splashScreen->unload();
}

} // namespace tambrel::Module1

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tambrel"));
    QApplication::setWindowIcon(tambrel::tambrelWindowIcon());
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
