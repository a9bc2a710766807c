#include "common/text/utf16_text.h"

namespace tambrel {

std::size_t decodeUtf8Sequence(std::string_view text, char32_t& codePoint) {
    if (text.empty())
        return 0;
    const auto byte = [&](std::size_t index) { return static_cast<unsigned char>(text[index]); };
    const unsigned char lead = byte(0);
    std::size_t length = 0;
    char32_t value = 0;
    char32_t minimum = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        value = lead & 0x1Fu;
        minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        value = lead & 0x0Fu;
        minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        value = lead & 0x07u;
        minimum = 0x10000;
    } else {
        return 0;
    }
    if (text.size() < length)
        return 0;
    for (std::size_t index = 1; index < length; ++index) {
        if ((byte(index) & 0xC0u) != 0x80u)
            return 0;
        value = (value << 6) | (byte(index) & 0x3Fu);
    }
    if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return 0;
    codePoint = value;
    return length;
}

void appendCodePointAsUtf8(char32_t codePoint, std::string& text) {
    if (codePoint < 0x80) {
        text.push_back(static_cast<char>(codePoint));
    } else if (codePoint < 0x800) {
        text.push_back(static_cast<char>(0xC0 | (codePoint >> 6)));
        text.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    } else if (codePoint < 0x10000) {
        text.push_back(static_cast<char>(0xE0 | (codePoint >> 12)));
        text.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
        text.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    } else {
        text.push_back(static_cast<char>(0xF0 | (codePoint >> 18)));
        text.push_back(static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F)));
        text.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
        text.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    }
}

void appendCodePointAsUtf16(char32_t codePoint, std::u16string& units) {
    if (codePoint < 0x10000) {
        units.push_back(static_cast<char16_t>(codePoint));
    } else {
        const char32_t offset = codePoint - 0x10000;
        units.push_back(static_cast<char16_t>(0xD800 + (offset >> 10)));
        units.push_back(static_cast<char16_t>(0xDC00 + (offset & 0x3FF)));
    }
}

void appendUtf8AsUtf16(std::string_view text, std::u16string& units) {
    std::size_t position = 0;
    while (position < text.size()) {
        char32_t codePoint = 0;
        const std::size_t length = decodeUtf8Sequence(text.substr(position), codePoint);
        if (length == 0) {
            units.push_back(static_cast<unsigned char>(text[position]));
            ++position;
        } else {
            appendCodePointAsUtf16(codePoint, units);
            position += length;
        }
    }
}

std::string utf16LittleEndianToUtf8(std::span<const std::uint8_t> bytes) {
    std::string text;
    text.reserve(bytes.size() / 2);
    const std::size_t unitCount = bytes.size() / 2;
    const auto unitAt = [&](std::size_t index) {
        return static_cast<char16_t>(bytes[2 * index] | (bytes[2 * index + 1] << 8));
    };
    for (std::size_t index = 0; index < unitCount; ++index) {
        const char16_t unit = unitAt(index);
        if (unit >= 0xD800 && unit <= 0xDBFF && index + 1 < unitCount) {
            const char16_t low = unitAt(index + 1);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                appendCodePointAsUtf8(0x10000 + ((char32_t{unit} - 0xD800) << 10) + (low - 0xDC00),
                                      text);
                ++index;
                continue;
            }
        }
        if (unit >= 0xD800 && unit <= 0xDFFF)
            appendCodePointAsUtf8(0xFFFD, text);
        else
            appendCodePointAsUtf8(unit, text);
    }
    return text;
}

} // namespace tambrel
