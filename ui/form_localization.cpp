#include "ui/form_localization.h"

#include "localize/language_state.h"
#include "ui/form_registry.h"
#include "ui/qt_translations.h"

#include <exception>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QMetaObject>
#include <QWidget>

namespace tambrel {
namespace {

// Menus take no part in the font rule; neither does anything inside one.
bool isMenu(const QWidget* control, const QWidget* form) {
    for (const QWidget* widget = control; widget && widget != form; widget = widget->parentWidget())
        if (qobject_cast<const QMenu*>(widget) || qobject_cast<const QMenuBar*>(widget))
            return true;
    return false;
}

template <typename Step> void silently(Step&& step) {
    try {
        step();
    } catch (...) {
        // Font and text passes never stop the program or show anything.
    }
}

} // namespace

LanguageFont languageFontFor(std::int32_t languageID) {
    switch (languageID) {
    case 1041: // Japanese: MS PGothic
        return {128, QString::fromUtf16(u"\uFF2D\uFF33\u0020\uFF30\u30B4\u30B7\u30C3\u30AF")};
    case 1042: // Korean: Gulim
        return {129, QString::fromUtf16(u"\uAD74\uB9BC")};
    case 1028: // Chinese (Taiwan): PMingLiU
        return {136, QString::fromUtf16(u"\u65B0\u7D30\u660E\u9AD4")};
    case 2052: // Chinese (PRC): SimSun
        return {134, QString::fromUtf16(u"\u5B8B\u4F53")};
    default:
        return {1, QString()};
    }
}

void LocalizeControlFont(QWidget* control) {
    if (!control)
        return;
    silently([&] {
        if (isMenu(control, control->window()))
            return;
        const LanguageFont row = languageFontFor(CurrentLanguageID);
        QFont font = control->font();
        // Qt has no character sets: the face alone selects the script, and where the face is
        // missing the font service substitutes one that covers it.
        if (row.faceName.isEmpty())
            font.setFamilies(QApplication::font(control).families());
        else
            font.setFamilies({row.faceName});
        control->setFont(font);
    });
}

void LocalizeFormFonts(QWidget* form) {
    if (!form)
        return;
    silently([&] {
        for (QWidget* control : form->findChildren<QWidget*>()) {
            if (!isMenu(control, form))
                LocalizeControlFont(control);
        }
    });
}

void RelocalizeAllForms() {
    for (QWidget* form : loadedForms()) {
        silently([&] { LocalizeFormFonts(form); });
        silently([&] {
            // Asked first, so that a form without the operation passes without a word.
            const QByteArray operation =
                (form->objectName() + QStringLiteral("_Auto_Init")).toUtf8();
            if (form->metaObject()->indexOfMethod(operation + "()") >= 0)
                QMetaObject::invokeMethod(form, operation.constData(), Qt::DirectConnection);
        });
        silently([&] {
            for (QWidget* control : form->findChildren<QWidget*>())
                control->update();
        });
    }
}

void installFormLocalization() {
    setLoadedFormsFontPass([] {
        // Qt's own texts follow the program's: English while no library is open.
        silently([] { applyQtTranslation(hLanguageModule != 0 ? CurrentLanguageID : 0); });
        for (QWidget* form : loadedForms())
            LocalizeFormFonts(form);
    });
}

} // namespace tambrel
