#include "platform/text/display_width.h"

namespace tambrel::platform {
namespace {

// The code point at `at` and the bytes it takes; a malformed sequence is one byte of its own.
std::size_t decode(std::string_view text, std::size_t at, char32_t& codePoint) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    std::size_t length = 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        length = 2;
    else if (lead >= 0xE0 && lead <= 0xEF)
        length = 3;
    else if (lead >= 0xF0 && lead <= 0xF4)
        length = 4;
    codePoint = lead;
    if (length == 1 || at + length > text.size())
        return 1;
    char32_t value = lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80)
            return 1;
        value = (value << 6) | (byte(at + i) & 0x3F);
    }
    codePoint = value;
    return length;
}

} // namespace

std::size_t displayWidth(std::string_view text) {
    std::size_t width = 0;
    for (std::size_t at = 0; at < text.size();) {
        // ASCII takes one column on either side: tables of a million paths ask this often.
        if (static_cast<unsigned char>(text[at]) < 0x80) {
            ++width;
            ++at;
            continue;
        }
        char32_t codePoint = 0;
        at += decode(text, at, codePoint);
        width += static_cast<std::size_t>(columnsOf(codePoint));
    }
    return width;
}

} // namespace tambrel::platform
