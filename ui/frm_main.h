// The main window: greetings and voice names above, prompt files below, each in a framed grid,
// Reload Files and Exit at the bottom right, the File, View and Help menus. Controls sit at
// absolute places in twips that Form_Resize recomputes from the window's outer size. A grid's
// find field, while open, takes a strip off the top of its grid.
#pragma once

#include "inventory/file_system.h"
#include "ui/main_window_layout.h"
#include "ui/row_filter.h"
#include "ui/splash_screen_hooks.h"

#include <functional>
#include <memory>
#include <optional>
#include <QMainWindow>
#include <string>
#include <vector>

class QAction;
class QGroupBox;
class QMenu;
class QPushButton;

namespace tambrel {

class FindBar;
class GridWidget;
class frmTotals;

class frmMain final : public QMainWindow {
    Q_OBJECT
public:
    // Builds every control and menu with its design place, and registers the window as a
    // loaded form. The scan is not run: the program calls Form_Load.
    explicit frmMain(QWidget* parent = nullptr);
    ~frmMain() override;

    // Fonts of the language, then every caption, menu text and header text from the string
    // table. Data rows are not touched. Called by name after a language switch.
    Q_INVOKABLE void frmMain_Auto_Init();
    // Captions, then the whole scan into both grids. Ends the program at once when the server
    // is too old.
    void Form_Load();
    // Lays the controls out for the window's outer size, raising a dimension below the minimum
    // to it; does nothing while the window is minimized.
    void Form_Resize();

    void cmdReload_Click();
    // Both end the program at once (endProgram).
    void cmdExit_Click();
    void mnuExit_Click();
    void mnuGreetingsToCSV_Click();
    void mnuPromptToCSV_Click();
    // The rows each grid shows, in the order shown, with the export's bytes and safety.
    void mnuShownGreetingsToCSV_Click();
    void mnuShownPromptsToCSV_Click();
    // Opens the find field of the grid that has (or last had) the focus.
    void mnuFind_Click();
    // Both grids show only files with problems, or every file again.
    void mnuProblemFiles_Click();
    // Hides the grid's find field and drops its words from the filter.
    void closeFind(GridWidget& grid);
    // The index of the one-element menu arrays is ignored.
    void About_Click(int index = 1);
    void Help_Click(int index = 1);
    // Opens the totals window, or brings it to the front.
    void mnuTotals_Click();
    frmTotals* totalsWindow() { return totals_; }

    // Where the totals window's picks go: the groups a list's grid is narrowed to, together
    // with the grid's other filter conditions.
    void filterGridToGroups(FileList list, std::vector<RowGroup> groups);
    const std::vector<RowGroup>& pickedGroups(FileList list) const;

    // The About box and the help window attach here: each opener shows its window modally.
    // Until one is set the menu item opens nothing.
    void setAboutBoxOpener(std::function<void()> opener) { openAboutBox_ = std::move(opener); }
    void setHelpWindowOpener(std::function<void()> opener) { openHelpWindow_ = std::move(opener); }
    // Not owned; the splash screen shown around a reload and told the scan's progress.
    void setSplashScreenHooks(SplashScreenHooks* splash) { splash_ = splash; }
    // A server root given on the command line: scanned without registry read or version gate.
    void setGivenRoot(std::optional<std::string> root) { givenRoot_ = std::move(root); }

    // Places every control for an outer size of `outerWidth` x `outerHeight` twips, without
    // touching the window's own size, and returns the figures used.
    const MainWindowLayout& applyLayout(float outerWidth, float outerHeight);
    const MainWindowLayout& layout() const { return layout_; }

    // Created at first use, shared by the scan and the export.
    const FileSystemObject& fileSystem();

    GridWidget& gridGreetings() { return *gridGreetings_; }
    GridWidget& gridPrompts() { return *gridPrompts_; }
    FindBar& findBar(const GridWidget& grid) {
        return &grid == gridPrompts_ ? *findPrompts_ : *findGreetings_;
    }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void createMenus();
    void createControls();
    void keepGridsBelowCaptions();
    void showCount(GridWidget& grid);
    void findTextEdited(GridWidget& grid, const QString& text);

    QGroupBox* frameGreetingsAndVoiceNames_ = nullptr;
    QGroupBox* framePrompts_ = nullptr;
    GridWidget* gridGreetings_ = nullptr;
    GridWidget* gridPrompts_ = nullptr;
    QPushButton* cmdReload_ = nullptr;
    QPushButton* cmdExit_ = nullptr;
    QMenu* mnuFile_ = nullptr;
    QAction* mnuGreetingsToCSV_ = nullptr;
    QAction* mnuPromptToCSV_ = nullptr;
    QAction* mnuShownGreetingsToCSV_ = nullptr;
    QAction* mnuShownPromptsToCSV_ = nullptr;
    QAction* mnuExit_ = nullptr;
    QMenu* mnuView_ = nullptr;
    QAction* mnuFind_ = nullptr;
    QAction* mnuProblemFiles_ = nullptr;
    FindBar* findGreetings_ = nullptr;
    FindBar* findPrompts_ = nullptr;
    GridWidget* lastFocusedGrid_ = nullptr;
    QAction* mnuTotals_ = nullptr;
    QMenu* mnuHelpMenu_ = nullptr;
    QAction* Help_ = nullptr;
    QAction* About_ = nullptr;

    MainWindowLayout layout_;
    std::unique_ptr<FileSystemObject> fileSystem_;
    std::optional<std::string> givenRoot_;
    SplashScreenHooks* splash_ = nullptr;
    std::function<void()> openAboutBox_;
    std::function<void()> openHelpWindow_;
    bool shownOnce_ = false;
    frmTotals* totals_ = nullptr;
};

} // namespace tambrel
