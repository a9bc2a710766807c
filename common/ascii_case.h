// Letter case of the ASCII letters alone, for keys, tags, extensions and names that compare or
// show in one case whatever the user's locale: every other byte (UTF-8 sequences too) and every
// other UTF-16 unit stays as it is.
#pragma once

#include <string>
#include <string_view>

namespace tambrel {

template <typename Unit> constexpr Unit asciiLower(Unit unit) {
    return unit >= Unit('A') && unit <= Unit('Z') ? static_cast<Unit>(unit - 'A' + 'a') : unit;
}

template <typename Unit> constexpr Unit asciiUpper(Unit unit) {
    return unit >= Unit('a') && unit <= Unit('z') ? static_cast<Unit>(unit - 'a' + 'A') : unit;
}

inline std::string asciiLowercase(std::string text) {
    for (char& c : text)
        c = asciiLower(c);
    return text;
}

inline std::string asciiUppercase(std::string text) {
    for (char& c : text)
        c = asciiUpper(c);
    return text;
}

constexpr bool equalIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (asciiLower(a[i]) != asciiLower(b[i]))
            return false;
    }
    return true;
}

} // namespace tambrel
