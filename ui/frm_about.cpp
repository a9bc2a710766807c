#include "ui/frm_about.h"

#include "common/user_dialogs.h"
#include "localize/language_names.h"
#include "localize/language_state.h"
#include "ui/form_localization.h"
#include "ui/form_registry.h"
#include "ui/keyboard_focus.h"
#include "ui/twips.h"
#include "ui/window_icon.h"

#include <algorithm>
#include <cstdint>
#include <exception>
#include <QAction>
#include <QCursor>
#include <QEvent>
#include <QLabel>
#include <QLinearGradient>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QTextLayout>
#include <QtMath>

#ifndef TAMBREL_VERSION_MAJOR
#error "The build passes the program's version as TAMBREL_VERSION_MAJOR, _MINOR and _PATCH"
#endif

namespace tambrel {
namespace {

constexpr std::int32_t kVersionBuild = 0;
constexpr std::int32_t kChangeLanguage = 3;
constexpr std::int32_t kMakerName = 4;
constexpr std::int32_t kApplicationCaption = 5;
constexpr std::int32_t kCopyright = 7;
constexpr std::int32_t kFormLoadLead = 9;
constexpr std::int32_t kOk = 23;
constexpr std::int32_t kMakerLine2 = 27;
constexpr std::int32_t kSelectLanguage = 28;
constexpr std::int32_t kMakerLine3 = 31;
constexpr std::int32_t kTrademark = 32;
constexpr std::int32_t kVersionTitle = 34;
constexpr std::int32_t kNoLanguagesLoaded = 35;
constexpr std::int32_t kEnglishUnitedStates = 1033;

constexpr float kClientWidth = 6090;
constexpr float kClientHeight = 3285;
constexpr float kLabelPointSize = 8.25F;
// Room kept between a label that grew and its neighbours, in twips.
constexpr float kGap = 60;

struct TwipsBox {
    float left, top, width, height;
};
constexpr TwipsBox kCorvelLogo{180, 60, 2190, 870};
constexpr TwipsBox kVersionTitleBox{3240, 300, 975, 195};
constexpr TwipsBox kVersionBox{4260, 300, 1755, 255};
constexpr TwipsBox kCopyrightBox{180, 1140, 5835, 195};
constexpr TwipsBox kTrademarkBox{180, 1500, 5835, 195};
constexpr TwipsBox kChangeLanguageBox{180, 1860, 2895, 195};
constexpr TwipsBox kPelloraLogo{60, 2280, 1560, 930};
constexpr TwipsBox kAddress1{1680, 2460, 2835, 195};
constexpr TwipsBox kAddress2{1680, 2700, 2835, 195};
constexpr TwipsBox kAddress3{1680, 2940, 2835, 195};
constexpr TwipsBox kOkButton{4680, 2760, 1275, 375};

QPointer<frmAbout> theAboutBox;

QString qtText(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString stringFromTable(std::int32_t id) {
    return qtText(mymyLoadString(id));
}

QRect pixels(const QWidget& form, const TwipsBox& box) {
    return QRect(pixelsFromTwipsX(form, box.left), pixelsFromTwipsY(form, box.top),
                 pixelsFromTwipsX(form, box.width), pixelsFromTwipsY(form, box.height));
}

// The server product's logo: a sound wave rising out of a rounded badge, and the product name.
// Both logos are opaque, as 24-bit bitmaps are, and painted on the window colour so that they
// sit on the form rather than in boxes of their own.
QPixmap drawCorvelLogo(const QColor& background) {
    QPixmap pixmap(146, 58);
    pixmap.fill(background);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient badge(0, 6, 0, 52);
    badge.setColorAt(0, QColor(0x2b, 0x6c, 0xb0));
    badge.setColorAt(1, QColor(0x1a, 0x40, 0x6e));
    painter.setPen(Qt::NoPen);
    painter.setBrush(badge);
    painter.drawRoundedRect(QRectF(4, 7, 44, 44), 9, 9);
    painter.setPen(QPen(Qt::white, 2.6, Qt::SolidLine, Qt::RoundCap));
    const float bars[] = {8, 18, 28, 20, 12};
    for (int index = 0; index < 5; ++index) {
        const qreal x = 12 + index * 7;
        painter.drawLine(QPointF(x, 29 - bars[index] / 2), QPointF(x, 29 + bars[index] / 2));
    }
    QFont name(QStringLiteral("DejaVu Sans"));
    name.setPixelSize(22);
    name.setBold(true);
    painter.setFont(name);
    painter.setPen(QColor(0x1a, 0x40, 0x6e));
    painter.drawText(QRectF(54, 6, 92, 30), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Corvel"));
    QFont subtitle(QStringLiteral("DejaVu Sans"));
    subtitle.setPixelSize(9);
    painter.setFont(subtitle);
    painter.setPen(QColor(0x55, 0x60, 0x6e));
    painter.drawText(QRectF(55, 34, 92, 14), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("voice messaging"));
    return pixmap;
}

// The maker's logo: three overlapping circles for the many hands, over the maker's short name.
QPixmap drawMakerLogo(const QColor& background) {
    QPixmap pixmap(104, 62);
    pixmap.fill(background);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    const QColor colours[] = {QColor(0xe0, 0x7a, 0x1f, 210), QColor(0x2e, 0x8b, 0x57, 210),
                              QColor(0x2b, 0x6c, 0xb0, 210)};
    const QPointF centres[] = {{40, 19}, {52, 15}, {64, 19}};
    for (int index = 0; index < 3; ++index) {
        painter.setBrush(colours[index]);
        painter.drawEllipse(centres[index], 11, 11);
    }
    QFont name(QStringLiteral("DejaVu Sans"));
    name.setPixelSize(14);
    name.setBold(true);
    painter.setFont(name);
    painter.setPen(QColor(0x33, 0x33, 0x33));
    painter.drawText(QRectF(0, 33, 104, 18), Qt::AlignCenter, QStringLiteral("Tambrel"));
    QFont subtitle(QStringLiteral("DejaVu Sans"));
    subtitle.setPixelSize(8);
    painter.setFont(subtitle);
    painter.setPen(QColor(0x66, 0x66, 0x66));
    painter.drawText(QRectF(0, 50, 104, 11), Qt::AlignCenter, QStringLiteral("developers"));
    return pixmap;
}

QLabel* newLabel(QWidget* form, const char* name) {
    auto* label = new QLabel(form);
    label->setObjectName(QString::fromLatin1(name));
    QFont font = label->font();
    font.setPointSizeF(kLabelPointSize);
    label->setFont(font);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setWordWrap(true);
    return label;
}

QLabel* newPicture(QWidget* form, const char* name, const QPixmap& pixmap) {
    auto* picture = new QLabel(form);
    picture->setObjectName(QString::fromLatin1(name));
    picture->setPixmap(pixmap);
    picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return picture;
}

int naturalWidth(const QLabel& label) {
    return label.fontMetrics().horizontalAdvance(label.text()) + 2;
}

// The height of the label's text wrapped at `width`, measured as it is laid out, fallback fonts
// included: a Japanese text is often taller than the primary font's line.
int textHeight(const QLabel& label, int width) {
    return label.fontMetrics()
        .boundingRect(QRect(0, 0, width, 100000), Qt::TextWordWrap, label.text())
        .height();
}

// How far below the label's top its first line's baseline lies, fallback fonts included.
int firstBaseline(const QLabel& label) {
    QTextLayout layout(label.text(), label.font());
    layout.beginLayout();
    QTextLine line = layout.createLine();
    layout.endLayout();
    return line.isValid() ? qCeil(line.ascent()) : label.fontMetrics().ascent();
}

// Places `label` at `design`, wider up to `rightLimit` when its text needs it, and as high as
// the text wrapped at that width; returns the bottom edge.
int placeLabel(QLabel& label, QRect design, int rightLimit) {
    const int width =
        std::max(design.width(), std::min(naturalWidth(label), rightLimit - design.left()));
    const int height = std::max(design.height(), textHeight(label, width));
    label.setGeometry(design.left(), design.top(), width, height);
    return design.top() + height;
}

} // namespace

ProgramVersion programVersion() {
    return {TAMBREL_VERSION_MAJOR, TAMBREL_VERSION_MINOR, TAMBREL_VERSION_PATCH};
}

std::string versionLine(const ProgramVersion& version) {
    return std::to_string(version.major) + "." + std::to_string(version.minor) +
           mymyLoadString(kVersionBuild) + std::to_string(version.revision);
}

frmAbout::frmAbout(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
    setObjectName("frmAbout");
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(tambrelWindowIcon());
    showKeyboardFocus(*this);
    setBackgroundRole(QPalette::Window);
    setAutoFillBackground(true);

    picCorvelLogo_ =
        newPicture(this, "picCorvelLogo", drawCorvelLogo(palette().color(QPalette::Window)));
    lblVersionTitle_ = newLabel(this, "lblVersionTitle");
    lblVersionTitle_->setProperty("index", 1); // element 1 of its control array
    QFont bold = lblVersionTitle_->font();
    bold.setBold(true);
    lblVersionTitle_->setFont(bold);
    lblVersionTitle_->setWordWrap(false);
    lblVersion_ = newLabel(this, "lblVersion");
    lblVersion_->setWordWrap(false);
    lblCopyright_ = newLabel(this, "lblCopyright");
    lblTrademark_ = newLabel(this, "lblTrademark");
    lblChangeLanguage_ = newLabel(this, "lblChangeLanguage");
    QFont underlined = lblChangeLanguage_->font();
    underlined.setUnderline(true);
    lblChangeLanguage_->setFont(underlined);
    QPalette linkPalette = lblChangeLanguage_->palette();
    linkPalette.setColor(QPalette::WindowText, QColor(0x00, 0x00, 0xFF));
    lblChangeLanguage_->setPalette(linkPalette);
    lblChangeLanguage_->setCursor(Qt::PointingHandCursor);
    lblChangeLanguage_->installEventFilter(this);
    picPelloraLogo_ =
        newPicture(this, "picPelloraLogo", drawMakerLogo(palette().color(QPalette::Window)));
    lblPelloraAddress1_ = newLabel(this, "lblPelloraAddress1");
    lblPelloraAddress2_ = newLabel(this, "lblPelloraAddress2");
    lblPelloraAddress3_ = newLabel(this, "lblPelloraAddress3");
    cmdOK_ = new QPushButton(this);
    cmdOK_->setObjectName("cmdOK");
    cmdOK_->setDefault(true);
    connect(cmdOK_, &QPushButton::clicked, this, [this] { cmdOK_Click(); });

    mnuSelectLanguage_ = new QMenu(this);
    mnuSelectLanguage_->setObjectName("mnuSelectLanguage");
    addLanguageItem(QStringLiteral("LanguageList"));

    picCorvelLogo_->setGeometry(pixels(*this, kCorvelLogo));
    picPelloraLogo_->setGeometry(pixels(*this, kPelloraLogo));
    cmdOK_->setGeometry(pixels(*this, kOkButton));
    setFixedSize(pixelsFromTwipsX(*this, kClientWidth), pixelsFromTwipsY(*this, kClientHeight));

    registerForm(this);
    Form_Load();
}

frmAbout::~frmAbout() {
    unregisterForm(this);
}

void frmAbout::frmAbout_Auto_Init() {
    LocalizeFormFonts(this);
    setWindowTitle(stringFromTable(kApplicationCaption));
    cmdOK_->setText(stringFromTable(kOk));
    lblPelloraAddress2_->setText(stringFromTable(kMakerLine2));
    lblPelloraAddress3_->setText(stringFromTable(kMakerLine3));
    lblChangeLanguage_->setText(stringFromTable(kChangeLanguage));
    lblTrademark_->setText(stringFromTable(kTrademark));
    lblCopyright_->setText(stringFromTable(kCopyright));
    lblPelloraAddress1_->setText(stringFromTable(kMakerName));
    lblVersionTitle_->setText(stringFromTable(kVersionTitle));
    mnuSelectLanguage_->setTitle(stringFromTable(kSelectLanguage));
    // The version line carries string 0, so it follows every switch like the captions do.
    lblVersion_->setText(qtText(versionLine(programVersion())));
    markCurrentLanguage();
    fitTextsToLabels();
}

void frmAbout::markCurrentLanguage() {
    const QString current = QString::number(CurrentLanguageID);
    for (QAction* item : mnuSelectLanguage_->actions()) {
        item->setCheckable(true);
        item->setChecked(item->data().toString() == current);
    }
}

void frmAbout::Form_Load() {
    frmAbout_Auto_Init();
    // The load's trap: a failed step is reported and abandoned, and loading goes on.
    const auto trapped = [](auto&& step) {
        try {
            step();
        } catch (const std::exception& error) {
            reportMessage(mymyLoadString(kFormLoadLead) + error.what());
        }
    };
    trapped([&] {
        lblVersion_->setText(qtText(versionLine(programVersion())));
        fitTextsToLabels();
    });
    trapped([] { InitalizeLanguages(); });
    trapped([&] {
        const QList<QAction*> items = mnuSelectLanguage_->actions();
        if (LanguageAbbrevs.empty()) {
            items.front()->setText(stringFromTable(kNoLanguagesLoaded));
            items.front()->setData(QString::number(kEnglishUnitedStates));
            markCurrentLanguage();
            return;
        }
        for (std::size_t index = 0; index < LanguageAbbrevs.size(); ++index) {
            const std::string& abbreviation = LanguageAbbrevs[index];
            QAction* item = index == 0 ? items.front() : addLanguageItem(QString());
            item->setText(qtText(strLanguageNameFromAbbrev(abbreviation)));
            item->setData(QString::number(lngLanguageIDFromAbbrev(abbreviation)));
        }
        markCurrentLanguage();
    });
}

QAction* frmAbout::addLanguageItem(const QString& caption) {
    const int index = static_cast<int>(mnuSelectLanguage_->actions().size());
    QAction* item = mnuSelectLanguage_->addAction(caption);
    item->setObjectName(QStringLiteral("mnuLanguageList"));
    item->setProperty("index", index);
    connect(item, &QAction::triggered, this, [this, index] { mnuLanguageList_Click(index); });
    return item;
}

void frmAbout::cmdOK_Click() {
    // Hidden, not unloaded: the next opening shows this same form without loading it again.
    hide();
}

void frmAbout::lblChangeLanguage_Click() {
    mnuSelectLanguage_->popup(QCursor::pos());
}

void frmAbout::mnuLanguageList_Click(int index) {
    const auto silently = [](auto&& step) {
        try {
            step();
        } catch (...) {
            // The switch reports nothing of its own.
        }
    };
    silently([] { userDialogs().setMousePointer(MousePointer::Hourglass); });
    silently([&] {
        const QList<QAction*> items = mnuSelectLanguage_->actions();
        if (index >= 0 && index < items.size()) {
            bool isNumber = false;
            const int languageID = items[index]->data().toString().toInt(&isNumber);
            if (isNumber)
                CurrentLanguageID = languageID;
        }
    });
    silently([] { InitalizeLanguages(); });
    silently([] { RelocalizeAllForms(); });
    silently([] { userDialogs().setMousePointer(MousePointer::Default); });
}

bool frmAbout::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lblChangeLanguage_ && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        lblChangeLanguage_Click();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void frmAbout::fitTextsToLabels() {
    const int margin = pixelsFromTwipsX(*this, kCopyrightBox.left);
    const int rightEdge = pixelsFromTwipsX(*this, kClientWidth) - margin;
    const int gap = pixelsFromTwipsY(*this, kGap);

    // The title ends where the version begins; a longer title grows to the left.
    const QRect titleDesign = pixels(*this, kVersionTitleBox);
    const int titleWidth = std::max(titleDesign.width(), naturalWidth(*lblVersionTitle_));
    lblVersionTitle_->setAlignment(Qt::AlignRight | Qt::AlignTop);
    lblVersionTitle_->setGeometry(
        titleDesign.right() + 1 - titleWidth, titleDesign.top(), titleWidth,
        std::max(titleDesign.height(), textHeight(*lblVersionTitle_, titleWidth)));
    placeLabel(*lblVersion_, pixels(*this, kVersionBox), rightEdge);
    // Title and version share one baseline: a face whose digits and letters come from
    // different fonts puts them at different heights below the same top.
    const int titleBaseline = firstBaseline(*lblVersionTitle_);
    const int versionBaseline = firstBaseline(*lblVersion_);
    const int baseline = titleDesign.top() + std::max(titleBaseline, versionBaseline);
    lblVersionTitle_->move(lblVersionTitle_->x(), baseline - titleBaseline);
    lblVersion_->move(lblVersion_->x(), baseline - versionBaseline);

    // The three lines below the logo wrap at the form's width and push what follows down.
    int shift = 0;
    for (auto [label, box] :
         {std::pair{lblCopyright_, kCopyrightBox}, std::pair{lblTrademark_, kTrademarkBox},
          std::pair{lblChangeLanguage_, kChangeLanguageBox}}) {
        QRect design = pixels(*this, box).translated(0, shift);
        const int bottom = placeLabel(*label, design, rightEdge);
        shift += std::max(0, bottom - design.bottom() - 1);
    }
    // The link is only as wide as its text, so a click beside it does nothing.
    lblChangeLanguage_->resize(
        std::min(lblChangeLanguage_->width(), naturalWidth(*lblChangeLanguage_)),
        lblChangeLanguage_->height());

    picPelloraLogo_->move(pixels(*this, kPelloraLogo).topLeft() + QPoint(0, shift));
    const QRect okDesign = pixels(*this, kOkButton).translated(0, shift);
    cmdOK_->setGeometry(okDesign);
    int nextTop = pixels(*this, kAddress1).top() + shift;
    int bottomMost = okDesign.bottom() + 1;
    for (auto [label, box] :
         {std::pair{lblPelloraAddress1_, kAddress1}, std::pair{lblPelloraAddress2_, kAddress2},
          std::pair{lblPelloraAddress3_, kAddress3}}) {
        const QRect designed = pixels(*this, box);
        const int top = std::max(nextTop, designed.top() + shift);
        QRect design(designed.left(), top, designed.width(), designed.height());
        // Beside the OK button the line may only grow up to it.
        const bool besideButton =
            top <= okDesign.bottom() && top + 2 * designed.height() >= okDesign.top();
        const int limit = besideButton ? okDesign.left() - gap : rightEdge;
        const int bottom = placeLabel(*label, design, limit);
        nextTop = bottom + (pixels(*this, kAddress2).top() - pixels(*this, kAddress1).bottom() - 1);
        bottomMost = std::max(bottomMost, bottom);
    }
    const int designHeight = pixelsFromTwipsY(*this, kClientHeight);
    const int bottomMargin = designHeight - pixels(*this, kOkButton).bottom() - 1;
    setFixedSize(pixelsFromTwipsX(*this, kClientWidth),
                 std::max(designHeight, bottomMost + bottomMargin));
}

frmAbout& aboutBox(QWidget* owner) {
    if (!theAboutBox)
        theAboutBox = new frmAbout(owner);
    return *theAboutBox;
}

frmAbout* loadedAboutBox() {
    return theAboutBox.data();
}

void showAboutBox(QWidget* owner) {
    frmAbout& box = aboutBox(owner);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

} // namespace tambrel
