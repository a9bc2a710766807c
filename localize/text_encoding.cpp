#include "localize/text_encoding.h"

#include "common/text/utf16_text.h"

namespace tambrel {
namespace {

constexpr char32_t kReplacementCharacter = 0xFFFD;

bool isHighSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
bool isLowSurrogate(char16_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

} // namespace

std::string utf8FromUtf16(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t index = 0; index < text.size(); ++index) {
        char16_t unit = text[index];
        if (isHighSurrogate(unit) && index + 1 < text.size() && isLowSurrogate(text[index + 1])) {
            char32_t code =
                0x10000 + ((char32_t{unit} - 0xD800) << 10) + (char32_t{text[index + 1]} - 0xDC00);
            appendCodePointAsUtf8(code, out);
            ++index;
        } else if (isHighSurrogate(unit) || isLowSurrogate(unit)) {
            appendCodePointAsUtf8(kReplacementCharacter, out);
        } else {
            appendCodePointAsUtf8(unit, out);
        }
    }
    return out;
}

} // namespace tambrel
