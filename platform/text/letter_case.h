// Letter case as the registry compares names: by the system's own rules on Windows, by the C
// library's Unicode tables on POSIX, so that names differing only in case fold to the same units.
#pragma once

#include <string>

namespace tambrel {

// ASCII always folds; the rest of the Basic Multilingual Plane where the system knows the
// letters. Surrogates stay as they are.
char16_t foldLetterCase(char16_t unit);

inline std::u16string foldLetterCase(std::u16string units) {
    for (char16_t& unit : units)
        unit = foldLetterCase(unit);
    return units;
}

} // namespace tambrel
