// The language's fonts and texts on the forms: each control gets the face of the language's
// script (Japanese, Korean, the two Chinese scripts) or the default family back, and after a
// language switch every loaded form runs its "<name>_Auto_Init" again. Nothing here reports.
#pragma once

#include <cstdint>
#include <QString>

class QWidget;

namespace tambrel {

struct LanguageFont {
    int characterSet; // the Windows character set, kept for what it documents
    QString faceName; // empty: the default family
};
// The row of the language font table for a language identifier.
LanguageFont languageFontFor(std::int32_t languageID);

// Applies the row for CurrentLanguageID to one control; menus are left alone.
void LocalizeControlFont(QWidget* control);
// Every control of the form, in the form's order; the form's own font stays.
void LocalizeFormFonts(QWidget* form);
// Fonts, then "<name>_Auto_Init" by name, then a repaint of every control, on each loaded form.
void RelocalizeAllForms();

// Hands InitalizeLanguages the font pass over the loaded forms; the program calls it once at
// start.
void installFormLocalization();

} // namespace tambrel
