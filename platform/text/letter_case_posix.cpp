#include "common/ascii_case.h"
#include "platform/text/letter_case.h"

#include <clocale>
#include <cwctype>
#include <locale.h>

namespace tambrel {
namespace {

// The C library's Unicode letter tables, independent of the program's own locale; null when
// the system has no UTF-8 C locale, and then only ASCII letters fold.
locale_t unicodeLetterLocale() {
    static const locale_t locale = newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t{});
    return locale;
}

} // namespace

char16_t foldLetterCase(char16_t unit) {
    if (unit < 0x80)
        return asciiUpper(unit);
    if (unit >= 0xD800 && unit <= 0xDFFF)
        return unit;
    const locale_t locale = unicodeLetterLocale();
    if (!locale)
        return unit;
    // Upper case first and lower case back maps the odd forms (long s, final sigma, the Kelvin
    // sign) onto their ordinary letters, as simple case folding does; then back to upper case so
    // that ASCII and the rest agree.
    const wint_t lower = towlower_l(towupper_l(unit, locale), locale);
    const wint_t folded = towupper_l(lower, locale);
    if (folded > 0xFFFF)
        return unit;
    // Of the letters outside ASCII only the long s and the Kelvin sign fold into it; the Turkish
    // dotted and dotless i keep their own identity.
    if (folded < 0x80 && unit != 0x017F && unit != 0x212A)
        return unit;
    return static_cast<char16_t>(folded);
}

} // namespace tambrel
