// What a user sees of every window in every shipped language: no text clipped by its box, no box
// reaching outside its window or over a neighbour or a frame's caption, the version title and
// version on one baseline, and the keyboard focus visible on each control that takes it; the
// About box after each language switch, the grids' captions with the sort arrow, and Tab out of
// a grid. Each window is saved as a screenshot for people to look at.
#include "app/frm_splash_screen.h"
#include "localize/access_keys.h"
#include "tests/support/recording_dialogs.h"
#include "tests/ui/about/program_folder.h"
#include "ui/caption_access_keys.h"
#include "ui/find_bar.h"
#include "ui/form_localization.h"
#include "ui/frm_about.h"
#include "ui/frm_help.h"
#include "ui/frm_main.h"
#include "ui/frm_totals.h"
#include "ui/grid_widget.h"
#include "ui/keyboard_focus.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <QAbstractScrollArea>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QGroupBox>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionHeader>
#include <QTableView>
#include <QTest>
#include <set>

using namespace tambrel;
using namespace tambrel::testing;

namespace {

using FormFactory = std::function<std::unique_ptr<QWidget>()>;

// The totals window over two hidden grids of a few rows: codecs, rates and problems in both.
std::unique_ptr<frmTotals> filledTotals() {
    auto totals = std::make_unique<frmTotals>();
    auto* greetings = new GridWidget(totals.get());
    auto* prompts = new GridWidget(totals.get());
    greetings->hide();
    prompts->hide();
    auto add = [](GridWidget& grid, std::int16_t tag, std::int32_t rate, std::int64_t size,
                  WavProblem problem = WavProblem::None) {
        FileFacts facts;
        facts.path = "C:\\Corvel\\Stream Files\\file.wav";
        facts.header = {tag ? HeaderKind::Wave : HeaderKind::NotWave, tag, rate};
        facts.hasStatus = true;
        facts.size = size;
        facts.wav.problem = problem;
        QVERIFY(grid.AddFileRow(facts).ok());
    };
    for (int i = 0; i < 6; ++i)
        add(*greetings, 1, 8000, 64044);
    add(*greetings, 0x31, 8000, 16500);
    add(*greetings, 7, 8000, 32100, WavProblem::Truncated);
    add(*greetings, 0, 0, 12, WavProblem::NotRiff);
    for (int i = 0; i < 3; ++i)
        add(*prompts, 1, 16000, 128044);
    add(*prompts, 6, 8000, 8044);
    totals->setGrids(greetings, prompts);
    return totals;
}

struct Language {
    const char* name;
    std::int32_t id;
};
constexpr Language kLanguages[] = {{"English", 1033}, {"German", 1031}, {"Japanese", 1041}};

struct Form {
    const char* name;
    FormFactory make;
};

// The main window with a few greetings, its find field open and the grid filtered by it.
frmMain* mainWindowFindingMailboxes() {
    auto* main = new frmMain;
    main->frmMain_Auto_Init();
    GridWidget& grid = main->gridGreetings();
    grid.SetRedraw(RedrawMode::Suspended);
    for (int i = 0; i < 8; ++i) {
        FileFacts facts;
        facts.path = "C:\\Corvel\\Stream Files\\" + std::string(i % 2 ? "Mailbox100" : "Prompt_") +
                     std::to_string(i) + ".wav";
        facts.header = {HeaderKind::Wave, static_cast<std::int16_t>(i % 3 ? 7 : 0x31), 8000};
        facts.hasStatus = true;
        facts.size = 12044 + i;
        facts.lastModified.tv_sec = 1767225600;
        (void)grid.AddFileRow(facts);
    }
    // Fitted as a scan's rows are.
    for (const char* key : {"FileName", "Codec", "LastModified"})
        (void)grid.AutoSize(grid.ColIndex(key));
    grid.SetRedraw(RedrawMode::Buffered);
    main->mnuFind_Click();
    main->findBar(main->gridGreetings()).setText(QStringLiteral("mailbox"));
    return main;
}

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
        {"main_find", [] { return std::unique_ptr<QWidget>(mainWindowFindingMailboxes()); }},
        {"totals", [] { return std::unique_ptr<QWidget>(filledTotals().release()); }},
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
        // As drawn: an access key's marker is no character of its own.
        QString shown = button->text();
        shown.replace(QStringLiteral("&&"), QStringLiteral("\x01"))
            .remove('&')
            .replace('\x01', '&');
        if (metrics.horizontalAdvance(shown) + margin > button->width() ||
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

// The caption of `section` that does not fit the room the style leaves it beside the arrow.
QString clippedSortedCaption(const QHeaderView& header, int section) {
    const QString text = header.model()->headerData(section, Qt::Horizontal).toString();
    QStyleOptionHeader option;
    option.initFrom(&header);
    option.state |= QStyle::State_Horizontal;
    option.orientation = Qt::Horizontal;
    option.text = text;
    option.sortIndicator = QStyleOptionHeader::SortUp;
    option.rect = QRect(0, 0, header.sectionSize(section), header.height());
    const QRect label = header.style()->subElementRect(QStyle::SE_HeaderLabel, &option, &header);
    const int needed = header.fontMetrics().horizontalAdvance(text);
    return needed > label.width() ? QString("%1 needs %2 px beside the arrow, has %3")
                                        .arg(text)
                                        .arg(needed)
                                        .arg(label.width())
                                  : QString();
}

void chooseLanguage(frmAbout& box, int languageID) {
    const QList<QAction*> items = box.mnuSelectLanguage()->actions();
    for (int index = 0; index < items.size(); ++index)
        if (items[index]->data().toString() == QString::number(languageID)) {
            box.mnuLanguageList_Click(index);
            return;
        }
    QFAIL(qPrintable(QString("no menu item for %1").arg(languageID)));
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
    void switchesAndSortedCaptions_data();
    void switchesAndSortedCaptions();
    void tabLeavesTheGrids();
    void accessKeysDoNotClash_data();
    void accessKeysDoNotClash();
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

// One row per switch, from the language before it: the About box's version line and its mark
// follow every switch, and every caption of both grids shows whole with the sort arrow.
void FormAppearanceTest::switchesAndSortedCaptions_data() {
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<QString>("languageName");
    QTest::addColumn<QString>("versionLine");
    QTest::newRow("English to German") << 1033 << 1031 << "German"
                                       << "1.0 Build12";
    QTest::newRow("German to Japanese")
        << 1031 << 1041 << "Japanese" << QString::fromUtf8("1.0 ビルド12");
    QTest::newRow("Japanese to English") << 1041 << 1033 << "English"
                                         << "1.0 Build12";
    QTest::newRow("Japanese to German") << 1041 << 1031 << "German"
                                        << "1.0 Build12";
}

void FormAppearanceTest::switchesAndSortedCaptions() {
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(QString, languageName);
    QFETCH(QString, versionLine);
    RecordingDialogs dialogs;
    ProgramFolder folder;
    for (const char* library : {"Tambrel_ENU.dll", "Tambrel_DEU.dll", "Tambrel_JPN.dll"})
        folder.addLibrary(library, library);
    ProgramFolder::startIn(from);

    frmMain main;
    main.frmMain_Auto_Init();
    for (GridWidget* grid : {&main.gridGreetings(), &main.gridPrompts()})
        for (const char* size : {"10", "2"}) {
            QVERIFY(grid->AddItem("", grid->Rows()).ok());
            QVERIFY(grid->SetCell(grid->Rows() - 1, grid->ColIndex("FileSize"), size).ok());
        }
    // Sorted before the switch: the new captions must still find room beside the arrow.
    main.gridGreetings().sortByColumn(main.gridGreetings().ColIndex("FileSize"),
                                      Qt::AscendingOrder);
    main.show();
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    auto* box = new frmAbout(&main);
    box->setAttribute(Qt::WA_DeleteOnClose, false);
    box->show();
    QVERIFY(QTest::qWaitForWindowExposed(box));
    chooseLanguage(*box, to);
    QCoreApplication::processEvents();

    QDir().mkpath(TAMBREL_SCREENSHOTS);
    box->grab().save(QString(TAMBREL_SCREENSHOTS) + "/about_" +
                     QString(QTest::currentDataTag()).replace(' ', '_') + ".png");
    const QString clippedAtSwitch = clippedSortedCaption(*main.gridGreetings().horizontalHeader(),
                                                         main.gridGreetings().ColIndex("FileSize"));
    QVERIFY2(clippedAtSwitch.isEmpty(), qPrintable(clippedAtSwitch));
    for (GridWidget* grid : {&main.gridGreetings(), &main.gridPrompts()}) {
        for (int column = 1; column < grid->model()->columnCount(); ++column) {
            grid->sortByColumn(column, Qt::DescendingOrder);
            QCoreApplication::processEvents();
            const QString clipped = clippedSortedCaption(*grid->horizontalHeader(), column);
            QVERIFY2(clipped.isEmpty(), qPrintable(clipped));
        }
    }
    main.gridGreetings().sortByColumn(main.gridGreetings().ColIndex("FileSize"),
                                      Qt::AscendingOrder);
    QCoreApplication::processEvents();
    const QHeaderView* header = main.gridGreetings().horizontalHeader();
    main.grab(QRect(header->mapTo(&main, QPoint(0, 0)), header->size()))
        .save(QString(TAMBREL_SCREENSHOTS) + "/sorted_headers_" + languageName + ".png");

    QCOMPARE(box->findChild<QLabel*>("lblVersion")->text(), versionLine);
    QStringList marked;
    for (const QAction* item : box->mnuSelectLanguage()->actions())
        if (item->isChecked())
            marked << item->data().toString();
    QCOMPARE(marked, QStringList{QString::number(to)});
    delete box;
}

// Tab moves from a grid to the next control, so the buttons below the grids are reached from
// the keyboard; the arrow keys move between cells.
void FormAppearanceTest::tabLeavesTheGrids() {
    RecordingDialogs dialogs;
    ProgramFolder folder;
    ProgramFolder::startIn(1033);
    frmMain main;
    main.frmMain_Auto_Init();
    for (GridWidget* grid : {&main.gridGreetings(), &main.gridPrompts()})
        for (int row = 0; row < 2; ++row)
            QVERIFY(grid->AddItem("", grid->Rows()).ok());
    main.show();
    main.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&main));

    main.gridGreetings().setFocus(Qt::TabFocusReason);
    QTest::keyClick(&main.gridGreetings(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(&main.gridPrompts()));
    QTest::keyClick(&main.gridPrompts(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("cmdReload"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("cmdExit"));
}

QTEST_MAIN(FormAppearanceTest)
// Within each group of captions reached by the same keys (a menu's items; the menu bar's titles
// with the window's buttons) every caption has a key of its own, in each language.
void FormAppearanceTest::accessKeysDoNotClash_data() {
    QTest::addColumn<int>("language");
    for (const Language& language : kLanguages)
        QTest::newRow(language.name) << language.id;
}

void FormAppearanceTest::accessKeysDoNotClash() {
    QFETCH(int, language);
    RecordingDialogs dialogs;
    ProgramFolder folder;
    for (const char* library : {"Tambrel_ENU.dll", "Tambrel_DEU.dll", "Tambrel_JPN.dll"})
        folder.addLibrary(library, library);
    ProgramFolder::startIn(language);
    frmMain main;
    main.frmMain_Auto_Init();
    std::unique_ptr<frmTotals> totals = filledTotals();

    std::vector<std::pair<QString, QStringList>> groups;
    QStringList topLevel;
    for (const QAction* menu : main.menuBar()->actions()) {
        topLevel << menu->text();
        QStringList items;
        for (const QAction* item : menu->menu()->actions())
            if (!item->isSeparator())
                items << item->text();
        groups.emplace_back(menu->objectName(), items);
    }
    QStringList keyless;
    for (const char* name : {"cmdReload", "cmdExit"}) {
        const QPushButton* button = main.findChild<QPushButton*>(name);
        // A button may go without a key only where its caption would not show whole with one.
        if (!captionFits(*button, button->text() + "(&W)"))
            keyless << button->text();
        topLevel << button->text();
    }
    groups.emplace_back("menu bar and buttons", topLevel);
    QStringList totalsButtons;
    for (const char* button : {"cmdCopy", "cmdClose"})
        totalsButtons << totals->findChild<QPushButton*>(button)->text();
    groups.emplace_back("totals buttons", totalsButtons);

    for (const auto& [group, captions] : groups) {
        std::set<char> keys;
        for (const QString& caption : captions) {
            const char key = accessKeyOf(caption.toStdString());
            if (key == 0 && keyless.contains(caption))
                continue;
            QVERIFY2(key != 0, qPrintable(group + ": no key in " + caption));
            QVERIFY2(keys.insert(key).second, qPrintable(group + ": key taken twice, " + caption));
        }
    }
    // The window's title and the grids' headers, which the export writes, carry no marker.
    QVERIFY(!main.windowTitle().contains('&'));
    QVERIFY(!totals->windowTitle().contains('&'));
    for (int column = 0; column < main.gridGreetings().model()->columnCount(); ++column)
        QVERIFY(!main.gridGreetings()
                     .model()
                     ->headerData(column, Qt::Horizontal)
                     .toString()
                     .contains('&'));
}

#include "form_appearance_test.moc"
