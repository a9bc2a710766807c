#include "ui/frm_help.h"

#include "common/paths/path_join.h"
#include "localize/language_names.h"
#include "localize/library_files.h"
#include "ui/form_localization.h"
#include "ui/form_registry.h"
#include "ui/keyboard_focus.h"
#include "ui/twips.h"
#include "ui/window_icon.h"

#include <algorithm>
#include <QEvent>
#include <QResizeEvent>
#include <QTextBrowser>
#include <QUrl>
#include <string_view>

namespace tambrel {
namespace {

constexpr std::int32_t kHelpCaption = 29;
constexpr float kDesignClientWidth = 9405;
constexpr float kDesignClientHeight = 8040;
constexpr std::string_view kFileScheme = "file://";

std::string trimmedBlanks(std::string text) {
    const auto notBlank = [](char character) { return character != ' '; };
    text.erase(text.begin(), std::find_if(text.begin(), text.end(), notBlank));
    text.erase(std::find_if(text.rbegin(), text.rend(), notBlank).base(), text.end());
    return text;
}

QString qtText(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

HelpTarget helpTargetFor(const ProgramLocation& location, std::int32_t languageID) {
    const std::string abbreviation = trimmedBlanks(strLanguageAbbrevFromID(languageID));
    const std::string languagePage = location.executableName + "_" + abbreviation + ".htm";
    if (std::optional<std::string> path = findFileIgnoringCase(location.folder, languagePage))
        return {HelpPageKind::LanguagePage, *path};
    // The fallback is not required to exist; when a page differing only in letter case does,
    // its name goes into the URL so that "Tambrel.htm" serves the executable "tambrel".
    const std::string fallbackPage = location.executableName + ".htm";
    std::string path = findFileIgnoringCase(location.folder, fallbackPage)
                           .value_or(joinedPath(location.folder, fallbackPage, kPosixSeparators));
    return {HelpPageKind::FallbackUrl, std::string(kFileScheme) + path};
}

HelpLayout layOutHelpWindow(float outerWidth, float outerHeight) {
    HelpLayout layout;
    layout.outerWidth = std::max(outerWidth, kHelpMinimumWidth);
    layout.outerHeight = std::max(outerHeight, kHelpMinimumHeight);
    layout.browser = {100, 1, layout.outerWidth - 200, layout.outerHeight - 400};
    return layout;
}

frmHelp::frmHelp(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint),
      browserHelp_(new QTextBrowser(this)) {
    setObjectName("frmHelp");
    browserHelp_->setObjectName("browserHelp");
    setAttribute(Qt::WA_DeleteOnClose);
    setSizeGripEnabled(true);
    resize(pixelsFromTwipsX(*this, kDesignClientWidth),
           pixelsFromTwipsY(*this, kDesignClientHeight));
    setWindowIcon(tambrelWindowIcon());
    showKeyboardFocus(*this);
    registerForm(this);
    Form_Load();
}

frmHelp::~frmHelp() {
    unregisterForm(this);
}

void frmHelp::frmHelp_Auto_Init() {
    LocalizeFormFonts(this);
    setWindowTitle(qtText(mymyLoadString(kHelpCaption)));
}

void frmHelp::Form_Load() {
    frmHelp_Auto_Init();
    Navigate(helpTargetFor(programLocation(), CurrentLanguageID));
}

void frmHelp::Navigate(const HelpTarget& target) {
    navigatedTarget_ = target.text;
    QString localPath = qtText(target.text);
    // The URL is built by concatenation as the target text says; it is opened through
    // fromLocalFile so that a folder holding '#', '%' or '?' still names the right file.
    if (target.kind == HelpPageKind::FallbackUrl)
        localPath.remove(0, static_cast<qsizetype>(kFileScheme.size()));
    browserHelp_->setSource(QUrl::fromLocalFile(localPath), QTextDocument::HtmlResource);
}

void frmHelp::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    Form_Resize();
}

void frmHelp::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        Form_Resize();
}

void frmHelp::Form_Resize() {
    if (isMinimized())
        return;
    const QRect outer = frameGeometry();
    const int frameWidth = outer.width() - width();
    const int frameHeight = outer.height() - height();
    const double twipsX = twipsPerPixelX(*this);
    const double twipsY = twipsPerPixelY(*this);
    const HelpLayout layout = layOutHelpWindow(static_cast<float>(outer.width() * twipsX),
                                               static_cast<float>(outer.height() * twipsY));
    const int minimumClientWidth = pixelsFromTwipsX(*this, kHelpMinimumWidth) - frameWidth;
    const int minimumClientHeight = pixelsFromTwipsY(*this, kHelpMinimumHeight) - frameHeight;
    // Telling the window manager as well keeps it from offering smaller sizes at all.
    setMinimumSize(minimumClientWidth, minimumClientHeight);
    if (width() < minimumClientWidth || height() < minimumClientHeight) {
        // The resize event this raises lays the window out again at the minimum.
        resize(std::max(width(), minimumClientWidth), std::max(height(), minimumClientHeight));
        return;
    }
    // The window's frame is the window manager's: a title bar taller than the one the layout
    // allows for would push the browser's lower edge out of sight, so it stays inside.
    const TwipsRectangle& browser = layout.browser;
    const int left = pixelsFromTwipsX(*this, browser.left);
    const int top = pixelsFromTwipsY(*this, browser.top);
    browserHelp_->setGeometry(left, top,
                              std::min(pixelsFromTwipsX(*this, browser.width), width() - left),
                              std::min(pixelsFromTwipsY(*this, browser.height), height() - top));
}

void showHelpWindow(QWidget* owner) {
    auto* window = new frmHelp(owner);
    window->setWindowModality(Qt::ApplicationModal);
    window->exec();
}

} // namespace tambrel
