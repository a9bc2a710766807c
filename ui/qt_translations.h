// Qt's own texts (the buttons of message boxes, the labels of the file dialog) in the language
// whose library is in force, switched along with the program's texts.
#pragma once

#include <cstdint>
#include <QString>

namespace tambrel {

// The two-letter name of Qt's translation for a Windows language identifier ("de" for 1031),
// or empty where Qt's texts stay English.
QString qtTranslationLanguage(std::int32_t languageID);

// Replaces the Qt translation installed before by the one for `languageID`, looked up in the
// translations folder beside the program first and in Qt's own folder after; none is installed
// for English or where no file is found.
void applyQtTranslation(std::int32_t languageID);

} // namespace tambrel
