#include "app/frm_splash_screen.h"

#include "localize/language_state.h"
#include "ui/form_localization.h"
#include "ui/form_registry.h"
#include "ui/twips.h"

#include <algorithm>
#include <cmath>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QWindow>

namespace tambrel {
namespace {

// Long enough for a window manager to map the window, short enough not to be noticed when
// there is no display to map it on.
constexpr int kExposeWaitMilliseconds = 500;
// Ten counts a second: faster than that a changing number cannot be read anyway.
constexpr qint64 kCountPaintMilliseconds = 100;

QString fromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

TwipsPosition centredPosition(float screenWidth, float screenHeight, float formWidth,
                              float formHeight) {
    return {screenWidth / 2.0f - formWidth / 2.0f, screenHeight / 2.0f - formHeight / 2.0f};
}

frmSplashScreen::frmSplashScreen(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint), frame1_(new QGroupBox(this)),
      label1_(new QLabel(frame1_)), filesExamined_(new QLabel(frame1_)) {
    setObjectName(QStringLiteral("frmSplashScreen"));
    setWindowTitle(QStringLiteral("Tambrel"));
    // The design's sizes were made for an 8-point face; a larger default would cut the text.
    QFont designFont = font();
    designFont.setPointSize(8);
    setFont(designFont);

    frame1_->setObjectName(QStringLiteral("Frame1"));
    label1_->setObjectName(QStringLiteral("Label1"));
    label1_->setWordWrap(true);
    label1_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    filesExamined_->setObjectName(QStringLiteral("lblFilesExamined"));
    filesExamined_->setAlignment(Qt::AlignRight | Qt::AlignTop);

    fitToText();
}

void frmSplashScreen::fitToText() {
    // From the design's places each time, so that a shorter text after a language switch
    // shrinks the form back to them.
    place(*frame1_, 60, -60, 4875, 1395);
    place(*label1_, 240, 540, 4335, 555);
    // Below the notice, where the design leaves the frame empty.
    place(*filesExamined_, 240, 1110, 4335, 210);

    // A language's notice may wrap to more lines, and its face may be taller, than the design
    // made room for: the boxes grow down and the form with them.
    const int noticeGrowth =
        std::max(0, label1_->heightForWidth(label1_->width()) - label1_->height());
    const int countGrowth =
        std::max(0, filesExamined_->fontMetrics().height() - filesExamined_->height());
    label1_->resize(label1_->width(), label1_->height() + noticeGrowth);
    filesExamined_->setGeometry(filesExamined_->x(), filesExamined_->y() + noticeGrowth,
                                filesExamined_->width(), filesExamined_->height() + countGrowth);
    const int growth = noticeGrowth + countGrowth;
    frame1_->resize(frame1_->width(), frame1_->height() + growth);
    setFixedSize(pixelsFromTwipsX(*this, kClientWidth),
                 pixelsFromTwipsY(*this, kClientHeight) + growth);
}

frmSplashScreen::~frmSplashScreen() {
    unregisterForm(this);
}

void frmSplashScreen::place(QWidget& control, float left, float top, float width, float height) {
    control.setGeometry(pixelsFromTwipsX(*this, left), pixelsFromTwipsY(*this, top),
                        pixelsFromTwipsX(*this, width), pixelsFromTwipsY(*this, height));
}

void frmSplashScreen::Form_Load() {
    registerForm(this);
    frmSplashScreen_Auto_Init();
}

void frmSplashScreen::frmSplashScreen_Auto_Init() {
    LocalizeFormFonts(this);
    label1_->setText(fromUtf8(mymyLoadString(21)));
    fitToText();
}

void frmSplashScreen::centreOnScreen() {
    QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->geometry();
    const double perPixelX = twipsPerPixelX(*this);
    const double perPixelY = twipsPerPixelY(*this);
    const TwipsPosition position = centredPosition(
        static_cast<float>(area.width() * perPixelX), static_cast<float>(area.height() * perPixelY),
        static_cast<float>(width() * perPixelX), static_cast<float>(height() * perPixelY));
    move(area.left() + pixelsFromTwipsX(*this, position.left),
         area.top() + pixelsFromTwipsY(*this, position.top));
}

void frmSplashScreen::repaintNow() {
    // A window just shown has no surface until the display has mapped it; only that is waited
    // for, and no input is taken meanwhile.
    QElapsedTimer waited;
    waited.start();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    while (windowHandle() && !windowHandle()->isExposed() &&
           waited.elapsed() < kExposeWaitMilliseconds)
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 10);
    repaint();
}

void frmSplashScreen::showFilesExamined(std::int64_t count) {
    filesExamined_->setText(QString::number(count));
    // The scan reports far more often than anyone can read a changing number, and each
    // painting at once waits on the display: the count is painted at once at most ten times a
    // second, and a count in between with the next painting.
    if (countPainted_.isValid() && countPainted_.elapsed() < kCountPaintMilliseconds)
        return;
    filesExamined_->repaint();
    countPainted_.start();
}

SplashScreen::SplashScreen() = default;
SplashScreen::~SplashScreen() = default;

frmSplashScreen& SplashScreen::form() {
    if (!form_) {
        form_ = std::make_unique<frmSplashScreen>();
        form_->Form_Load();
    }
    return *form_;
}

void SplashScreen::unload() {
    form_.reset();
}

void SplashScreen::showCentred() {
    frmSplashScreen& splash = form();
    splash.centreOnScreen();
    // A count left from an earlier scan would mislead until the first new one arrives.
    splash.filesExaminedLabel()->clear();
    splash.forgetCountPainted();
    splash.show();
    splash.repaintNow();
}

void SplashScreen::hide() {
    if (form_)
        form_->hide();
}

void SplashScreen::showFilesExamined(std::int64_t count) {
    if (form_ && form_->isVisible())
        form_->showFilesExamined(count);
}

} // namespace tambrel
