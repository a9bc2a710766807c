#include "common/ascii_case.h"
#include "platform/text/letter_case.h"

#include <windows.h>

namespace tambrel {

char16_t foldLetterCase(char16_t unit) {
    if (unit < 0x80)
        return asciiUpper(unit);
    if (unit >= 0xD800 && unit <= 0xDFFF)
        return unit;
    // The system's own upper-casing, the one the registry compares names by; lower case and
    // back first maps the odd forms (long s, final sigma, the Kelvin sign) onto ordinary letters.
    wchar_t text[1] = {static_cast<wchar_t>(unit)};
    ::CharLowerBuffW(text, 1);
    ::CharUpperBuffW(text, 1);
    // Of the letters outside ASCII only the long s and the Kelvin sign fold into it; the Turkish
    // dotted and dotless i keep their own identity.
    if (text[0] < 0x80 && unit != 0x017F && unit != 0x212A)
        return unit;
    return static_cast<char16_t>(text[0]);
}

} // namespace tambrel
