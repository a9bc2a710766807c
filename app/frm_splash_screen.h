// The splash screen (frmSplashScreen): a borderless notice that the audio files are being
// examined, up while the first scan and every reload run, with a count of the files examined.
#pragma once

#include "ui/splash_screen_hooks.h"

#include <cstdint>
#include <memory>
#include <QElapsedTimer>
#include <QWidget>

class QGroupBox;
class QLabel;

namespace tambrel {

// Where a form's top-left corner goes so that it sits in the middle of the screen, in twips.
// A form wider or taller than the screen gets a negative edge.
struct TwipsPosition {
    float left;
    float top;
};
TwipsPosition centredPosition(float screenWidth, float screenHeight, float formWidth,
                              float formHeight);

class frmSplashScreen final : public QWidget {
    Q_OBJECT
public:
    static constexpr float kClientWidth = 4980;
    static constexpr float kClientHeight = 1365;

    // Builds the controls at their design places; the form is not loaded until Form_Load.
    explicit frmSplashScreen(QWidget* parent = nullptr);
    ~frmSplashScreen() override;

    // Loading: the form joins the loaded forms and takes its language's fonts and text.
    void Form_Load();
    // Fonts of the language, then string 21 as the text of Label1. Called by name after a
    // language switch.
    Q_INVOKABLE void frmSplashScreen_Auto_Init();

    // Moves the form to the middle of its screen.
    void centreOnScreen();
    // Paints the form now, before the program goes back to its message loop; input waiting
    // meanwhile stays queued.
    void repaintNow();
    // The count of files examined so far, painted at once unless a count was painted a moment
    // ago, in which case it shows with the next painting.
    void showFilesExamined(std::int64_t count);
    // The next count is painted at once.
    void forgetCountPainted() { countPainted_.invalidate(); }

    QGroupBox* Frame1() const { return frame1_; }
    QLabel* Label1() const { return label1_; }
    QLabel* filesExaminedLabel() const { return filesExamined_; }

private:
    // Lays the controls out at their design places, grown to hold the notice and the count in
    // the current language and fonts.
    void fitToText();
    void place(QWidget& control, float left, float top, float width, float height);

    QGroupBox* frame1_;
    QLabel* label1_;
    QLabel* filesExamined_;
    QElapsedTimer countPainted_;
};

// The splash screen as the entry procedure and the main window use it: loaded at first use,
// unloaded by the entry procedure once the main window is up, loaded again by a reload.
class SplashScreen final : public SplashScreenHooks {
public:
    SplashScreen();
    ~SplashScreen() override;

    // The form, loading it first if it is not loaded.
    frmSplashScreen& form();
    bool loaded() const { return form_ != nullptr; }
    void unload();

    void showCentred() override;
    void hide() override;
    void showFilesExamined(std::int64_t count) override;

private:
    std::unique_ptr<frmSplashScreen> form_;
};

} // namespace tambrel
