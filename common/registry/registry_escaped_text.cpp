#include "common/registry/registry_escaped_text.h"

#include "common/text/utf16_text.h"

namespace tambrel {

int hexDigitValue(char character) {
    if (character >= '0' && character <= '9')
        return character - '0';
    if (character >= 'a' && character <= 'f')
        return character - 'a' + 10;
    if (character >= 'A' && character <= 'F')
        return character - 'A' + 10;
    return -1;
}

namespace {

bool isOctalDigit(char character) {
    return character >= '0' && character <= '7';
}

char16_t controlEscape(char letter) {
    switch (letter) {
    case 'a':
        return 0x07;
    case 'b':
        return 0x08;
    case 'e':
        return 0x1B;
    case 'f':
        return 0x0C;
    case 'n':
        return 0x0A;
    case 'r':
        return 0x0D;
    case 't':
        return 0x09;
    case 'v':
        return 0x0B;
    default:
        return 0;
    }
}

} // namespace

RegistryEscapedText::RegistryEscapedText(std::string_view line, char terminator)
    : line_(line), terminator_(terminator) {}

void RegistryEscapedText::takeCodePoint(char32_t codePoint, char16_t& unit) {
    std::u16string units;
    appendCodePointAsUtf16(codePoint, units);
    unit = units[0];
    if (units.size() > 1)
        pendingLowSurrogate_ = units[1];
}

RegistryEscapedText::Step RegistryEscapedText::next(char16_t& unit) {
    if (pendingLowSurrogate_ != 0) {
        unit = pendingLowSurrogate_;
        pendingLowSurrogate_ = 0;
        return Step::Unit;
    }
    if (position_ >= line_.size())
        return Step::Malformed;
    const char character = line_[position_];
    if (character == terminator_) {
        ++position_;
        return Step::Terminator;
    }
    if (character != '\\') {
        if (static_cast<unsigned char>(character) < 0x80) {
            unit = static_cast<unsigned char>(character);
            ++position_;
            return Step::Unit;
        }
        // Wine writes only ASCII, but a hand-edited file may hold UTF-8; a stray byte stands
        // for itself.
        char32_t codePoint = static_cast<unsigned char>(character);
        const std::size_t length = decodeUtf8Sequence(line_.substr(position_), codePoint);
        position_ += length == 0 ? 1 : length;
        takeCodePoint(codePoint, unit);
        return Step::Unit;
    }

    ++position_;
    if (position_ >= line_.size())
        return Step::Malformed;
    const char escaped = line_[position_++];
    if (const char16_t control = controlEscape(escaped); control != 0) {
        unit = control;
        return Step::Unit;
    }
    if (escaped == 'x') {
        char32_t value = 0;
        int digits = 0;
        while (digits < 4 && position_ < line_.size()) {
            const int digit = hexDigitValue(line_[position_]);
            if (digit < 0)
                break;
            value = value * 16 + static_cast<char32_t>(digit);
            ++position_;
            ++digits;
        }
        unit = digits == 0 ? u'x' : static_cast<char16_t>(value);
        return Step::Unit;
    }
    if (isOctalDigit(escaped)) {
        char32_t value = static_cast<char32_t>(escaped - '0');
        for (int digits = 1;
             digits < 3 && position_ < line_.size() && isOctalDigit(line_[position_]); ++digits)
            value = value * 8 + static_cast<char32_t>(line_[position_++] - '0');
        unit = static_cast<char16_t>(value);
        return Step::Unit;
    }
    if (static_cast<unsigned char>(escaped) >= 0x80) {
        // An escaped raw byte: step back and read it as ordinary text.
        --position_;
        return next(unit);
    }
    unit = static_cast<unsigned char>(escaped);
    return Step::Unit;
}

bool RegistryEscapedText::readAll(std::u16string& units) {
    for (;;) {
        char16_t unit = 0;
        switch (next(unit)) {
        case Step::Unit:
            units.push_back(unit);
            break;
        case Step::Terminator:
            return true;
        case Step::Malformed:
            return false;
        }
    }
}

} // namespace tambrel
