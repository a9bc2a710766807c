// What a user sees of every window in every shipped language: no text clipped by its box, no box
// reaching outside its window or over a neighbour or a frame's caption, the version title and
// version on one baseline, and the keyboard focus visible on each control that takes it. Each
// window is saved as a screenshot for people to look at.
#include "app/frm_splash_screen.h"
#include "tests/support/recording_dialogs.h"
#include "tests/ui/about/program_folder.h"
#include "ui/form_localization.h"
#include "ui/frm_about.h"
#include "ui/frm_help.h"
#include "ui/frm_main.h"
#include "ui/keyboard_focus.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <QAbstractScrollArea>
#include <QDir>
#include <QGroupBox>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTableView>
#include <QTest>

using namespace tambrel;
using namespace tambrel::testing;

namespace {

using FormFactory = std::function<std::unique_ptr<QWidget>()>;

struct Language {
    const char* name;
    std::int32_t id;
};
constexpr Language kLanguages[] = {{"English", 1033}, {"German", 1031}, {"Japanese", 1041}};

struct Form {
    const char* name;
    FormFactory make;
};

std::vector<Form> forms() {
    return {
        {"splash",
         [] {
             auto splash = std::make_unique<frmSplashScreen>();
             splash->Form_Load();
             return std::unique_ptr<QWidget>(std::move(splash));
         }},
        {"about", [] { return std::unique_ptr<QWidget>(new frmAbout); }},
        {"main",
         [] {
             auto main = std::make_unique<frmMain>();
             main->frmMain_Auto_Init();
             return std::unique_ptr<QWidget>(std::move(main));
         }},
        {"help", [] { return std::unique_ptr<QWidget>(new frmHelp); }},
    };
}

// The controls of a form as the user sees them: the form's own children and those of its
// frames, not the parts inside a grid or a browser.
QList<QWidget*> controls(QWidget& form) {
    QList<QWidget*> found;
    for (QWidget* child : form.findChildren<QWidget*>()) {
        QWidget* parent = child->parentWidget();
        const bool placed = parent == &form || parent == form.findChild<QWidget*>("clientArea") ||
                            qobject_cast<QGroupBox*>(parent);
        if (placed && child->isVisibleTo(&form) && child->objectName() != "clientArea" &&
            !child->objectName().startsWith("qt_"))
            found << child;
    }
    return found;
}

QString name(const QWidget* widget) {
    return widget->objectName().isEmpty() ? widget->metaObject()->className()
                                          : widget->objectName();
}

// Why the control's text does not show whole in its box; empty when it does.
QString clippedText(QWidget& control) {
    if (auto* label = qobject_cast<QLabel*>(&control)) {
        if (label->text().isEmpty())
            return {};
        const int needed =
            label->wordWrap() ? label->heightForWidth(label->width()) : label->sizeHint().height();
        if (needed > label->height())
            return QString("text needs %1 px of height, has %2").arg(needed).arg(label->height());
        if (!label->wordWrap() && label->sizeHint().width() > label->width())
            return QString("text needs %1 px of width, has %2")
                .arg(label->sizeHint().width())
                .arg(label->width());
    }
    if (auto* button = qobject_cast<QPushButton*>(&control)) {
        const QFontMetrics metrics = button->fontMetrics();
        const int margin = button->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button);
        if (metrics.horizontalAdvance(button->text()) + margin > button->width() ||
            metrics.height() > button->height())
            return "caption does not fit the button";
    }
    if (auto* grid = qobject_cast<QTableView*>(&control)) {
        const QHeaderView* header = grid->horizontalHeader();
        const int margin = header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
        for (int column = 0; column < grid->model()->columnCount(); ++column) {
            const QString text = grid->model()->headerData(column, Qt::Horizontal).toString();
            if (header->fontMetrics().horizontalAdvance(text) + 2 * margin >
                header->sectionSize(column))
                return "header " + text + " does not fit its column";
        }
    }
    if (auto* frame = qobject_cast<QGroupBox*>(&control)) {
        if (frame->fontMetrics().horizontalAdvance(frame->title()) > frame->width())
            return "caption wider than the frame";
        for (QWidget* inside : controls(*frame))
            if (inside->y() < frame->contentsRect().top())
                return name(inside) + " reaches into the caption";
    }
    return {};
}

QString layoutFault(QWidget& form) {
    const QList<QWidget*> all = controls(form);
    for (QWidget* control : all) {
        if (QString why = clippedText(*control); !why.isEmpty())
            return name(control) + ": " + why;
        const QWidget* parent = control->parentWidget();
        QRect box = control->geometry();
        // A frame without a caption may start above its window: the edge it hides is empty.
        if (auto* frame = qobject_cast<QGroupBox*>(control); frame && frame->title().isEmpty())
            box.setTop(std::max(box.top(), 0));
        if (!parent->rect().contains(box))
            return name(control) + " reaches outside " + name(parent);
        for (QWidget* other : all)
            if (other != control && other->parentWidget() == parent &&
                control->geometry().intersects(other->geometry()) && name(control) < name(other))
                return name(control) + " overlaps " + name(other);
    }
    return {};
}

// The lowest row in which the label paints any ink, in form coordinates.
int lowestInk(QLabel& label) {
    const QImage image = label.grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QRgb background = label.palette().color(QPalette::Window).rgb();
    for (int y = image.height() - 1; y >= 0; --y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < qGray(background) - 60)
                return label.y() + qRound(y / label.devicePixelRatioF());
    return -1;
}

QImage painted(QWidget& form, const QRect& area) {
    QCoreApplication::processEvents();
    return form.grab(area).toImage().convertToFormat(QImage::Format_RGB32);
}

} // namespace

class FormAppearanceTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void everyFormInEveryLanguage_data();
    void everyFormInEveryLanguage();
};

void FormAppearanceTest::initTestCase() {
    // As the program starts.
    installVisibleKeyboardFocus();
    installFormLocalization();
}

void FormAppearanceTest::everyFormInEveryLanguage_data() {
    QTest::addColumn<int>("language");
    QTest::addColumn<int>("form");
    QTest::addColumn<QString>("languageName");
    for (const Language& language : kLanguages) {
        int index = 0;
        for (const Form& form : forms())
            QTest::addRow("%s %s", form.name, language.name)
                << language.id << index++ << QString(language.name);
    }
}

void FormAppearanceTest::everyFormInEveryLanguage() {
    QFETCH(int, language);
    QFETCH(int, form);
    QFETCH(QString, languageName);
    RecordingDialogs dialogs;
    ProgramFolder folder;
    for (const char* library : {"Tambrel_ENU.dll", "Tambrel_DEU.dll", "Tambrel_JPN.dll"})
        folder.addLibrary(library, library);
    for (const char* page :
         {"Tambrel.htm", "Tambrel_ENU.htm", "Tambrel_DEU.htm", "Tambrel_JPN.htm"})
        folder.addHelpPage(page, page);
    ProgramFolder::startIn(language);

    const std::vector<Form> all = forms();
    const Form& made = all[static_cast<std::size_t>(form)];
    std::unique_ptr<QWidget> window = made.make();
    window->setAttribute(Qt::WA_DeleteOnClose, false);
    window->show();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    QCoreApplication::processEvents();

    QDir().mkpath(TAMBREL_SCREENSHOTS);
    window->grab().save(QString(TAMBREL_SCREENSHOTS) + "/" + made.name + "_" + languageName +
                        ".png");

    const QString fault = layoutFault(*window);
    QVERIFY2(fault.isEmpty(), qPrintable(fault));

    if (std::string_view(made.name) == "about") {
        auto* title = window->findChild<QLabel*>("lblVersionTitle");
        auto* version = window->findChild<QLabel*>("lblVersion");
        QVERIFY(qAbs(lowestInk(*title) - lowestInk(*version)) <= 1);
    }

    // Each control that takes the focus looks different while it has it.
    QList<QWidget*> focusable;
    for (QWidget* control : window->findChildren<QWidget*>())
        if ((control->focusPolicy() & Qt::TabFocus) && control->isVisibleTo(window.get()) &&
            !control->objectName().startsWith("qt_") &&
            !qobject_cast<QAbstractScrollArea*>(control->parentWidget()))
            focusable << control;
    for (QWidget* control : focusable) {
        const QRect area(control->mapTo(window.get(), QPoint(0, 0)), control->size());
        control->setFocus(Qt::OtherFocusReason);
        const QImage focused = painted(*window, area);
        control->clearFocus();
        const QImage unfocused = painted(*window, area);
        QVERIFY2(focused != unfocused, qPrintable(name(control) + " shows no focus"));
    }
}

QTEST_MAIN(FormAppearanceTest)
#include "form_appearance_test.moc"
