#include "report/json_text.h"

#include "common/text/utf16_text.h"

#include <charconv>
#include <cmath>

namespace tambrel::report {
namespace {

constexpr char kHex[] = "0123456789abcdef";

void appendEscape(std::string& out, unsigned value) {
    out.append("\\u");
    for (int shift = 12; shift >= 0; shift -= 4)
        out.push_back(kHex[(value >> shift) & 0xF]);
}

} // namespace

std::size_t utf8SequenceLength(std::string_view text, std::size_t at) {
    if (static_cast<unsigned char>(text[at]) < 0x80)
        return 1;
    char32_t codePoint = 0;
    return decodeUtf8Sequence(text.substr(at), codePoint);
}

void appendJsonString(std::string& out, std::string_view text) {
    out.push_back('"');
    std::size_t plainStart = 0;
    const auto flushPlain = [&](std::size_t end) {
        out.append(text.substr(plainStart, end - plainStart));
    };
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c >= 0x20 && c < 0x7F && c != '"' && c != '\\') {
            ++i;
            continue;
        }
        if (c >= 0x80) {
            if (const std::size_t length = utf8SequenceLength(text, i)) {
                i += length;
                continue;
            }
        }
        flushPlain(i);
        if (c == '"' || c == '\\') {
            out.push_back('\\');
            out.push_back(static_cast<char>(c));
        } else if (c == '\n') {
            out.append("\\n");
        } else if (c == '\r') {
            out.append("\\r");
        } else if (c == '\t') {
            out.append("\\t");
        } else if (c < 0x80) {
            appendEscape(out, c);
        } else {
            appendEscape(out, 0xDC00u + c);
        }
        plainStart = ++i;
    }
    flushPlain(text.size());
    out.push_back('"');
}

void appendJsonNumber(std::string& out, std::uint64_t value) {
    char digits[24];
    const auto [end, error] = std::to_chars(digits, std::end(digits), value);
    (void)error; // 24 characters hold every 64-bit value
    out.append(digits, end);
}

void appendJsonNumber(std::string& out, double value) {
    if (!std::isfinite(value)) {
        out.append("null");
        return;
    }
    char digits[32];
    const auto [end, error] = std::to_chars(digits, std::end(digits), value);
    (void)error; // 32 characters hold the shortest form of every double
    out.append(digits, end);
}

void appendJsonStringOrNull(std::string& out, const std::optional<std::string>& text) {
    if (text)
        appendJsonString(out, std::string_view(*text));
    else
        out.append("null");
}

void appendJsonNumber(std::string& out, const std::optional<std::uint32_t>& value) {
    if (value)
        appendJsonNumber(out, std::uint64_t{*value});
    else
        out.append("null");
}

void appendJsonNumber(std::string& out, const std::optional<std::uint64_t>& value) {
    if (value)
        appendJsonNumber(out, *value);
    else
        out.append("null");
}

void appendJsonNumber(std::string& out, const std::optional<double>& value) {
    if (value)
        appendJsonNumber(out, *value);
    else
        out.append("null");
}

} // namespace tambrel::report
