// Reads the escaped text of Wine's registry file (key names, value names, string data) back
// into UTF-16 units: C escapes, \xHHHH units, octal escapes and raw UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace tambrel {

// The value of one hexadecimal digit, or -1 for any other character.
int hexDigitValue(char character);

class RegistryEscapedText {
public:
    enum class Step { Unit, Terminator, Malformed };

    // `line` holds no line break; the text ends at the first unescaped `terminator`.
    RegistryEscapedText(std::string_view line, char terminator);

    // The next unit, or the terminator (position() is then just past it), or Malformed when
    // the line ends first.
    Step next(char16_t& unit);

    std::size_t position() const { return position_; }

    // Reads everything up to the terminator; false when the line ends first.
    bool readAll(std::u16string& units);

private:
    void takeCodePoint(char32_t codePoint, char16_t& unit);

    std::string_view line_;
    std::size_t position_ = 0;
    char terminator_;
    char16_t pendingLowSurrogate_ = 0;
};

} // namespace tambrel
