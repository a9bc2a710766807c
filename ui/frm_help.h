// The help window (frmHelp): the HTML page of the current language beside the program, or the
// page without language, in a browser that fills the window.
#pragma once

#include "localize/language_state.h"

#include <cstdint>
#include <QDialog>
#include <string>

class QTextBrowser;

namespace tambrel {

enum class HelpPageKind { LanguagePage, FallbackUrl };

// What the window navigates to: a plain path to the language page, or the "file://" URL of the
// fallback page, which is not tested for existence.
struct HelpTarget {
    HelpPageKind kind;
    std::string text;
};

// Picks the page for `languageID`. Page names are matched without regard to letter case, since
// the executable is "tambrel" and the pages are spelled "Tambrel_ENU.htm".
HelpTarget helpTargetFor(const ProgramLocation& location, std::int32_t languageID);

// Sizes in twips.
struct TwipsRectangle {
    float left = 0;
    float top = 0;
    float width = 0;
    float height = 0;
};
struct HelpLayout {
    float outerWidth = 0; // after the minimum is applied
    float outerHeight = 0;
    TwipsRectangle browser;
};
inline constexpr float kHelpMinimumWidth = 2500;
inline constexpr float kHelpMinimumHeight = 2400;
// The layout for a window whose outer size is `outerWidth` x `outerHeight` twips.
HelpLayout layOutHelpWindow(float outerWidth, float outerHeight);

class frmHelp final : public QDialog {
    Q_OBJECT
public:
    explicit frmHelp(QWidget* parent = nullptr);
    ~frmHelp() override;

    Q_INVOKABLE void frmHelp_Auto_Init();

    // The target text the browser was last sent to, as built.
    const std::string& navigatedTarget() const { return navigatedTarget_; }
    QTextBrowser* browser() const { return browserHelp_; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void Form_Load();
    void Form_Resize();
    void Navigate(const HelpTarget& target);

    QTextBrowser* browserHelp_;
    std::string navigatedTarget_;
};

// Opens a new help window over `owner`, modally; it is unloaded when the user closes it.
void showHelpWindow(QWidget* owner);

} // namespace tambrel
