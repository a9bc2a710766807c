#include "ui/qt_translations.h"

#include "localize/language_state.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace tambrel {
namespace {

QTranslator* installed = nullptr;

} // namespace

QString qtTranslationLanguage(std::int32_t languageID) {
    // The primary language is the low ten bits of the identifier.
    switch (languageID & 0x3FF) {
    case 0x07:
        return QStringLiteral("de");
    case 0x11:
        return QStringLiteral("ja");
    default:
        return {};
    }
}

void applyQtTranslation(std::int32_t languageID) {
    if (installed) {
        QCoreApplication::removeTranslator(installed);
        delete installed;
        installed = nullptr;
    }
    const QString language = qtTranslationLanguage(languageID);
    if (language.isEmpty())
        return;
    const QString fileName = QStringLiteral("qtbase_") + language;
    const QString besideProgram =
        QString::fromStdString(programLocation().folder) + QStringLiteral("/translations");
    auto translator = new QTranslator;
    if (!translator->load(fileName, besideProgram) &&
        !translator->load(fileName, QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return;
    }
    QCoreApplication::installTranslator(translator);
    installed = translator;
}

} // namespace tambrel
