#include "cli/json_rows.h"

#include "inventory/codec_names.h"
#include "inventory/describe_file.h"
#include "platform/text/local_time.h"

#include <charconv>
#include <cstdint>

namespace tambrel::cli {
namespace {

constexpr char kHex[] = "0123456789abcdef";

void appendEscape(std::string& out, unsigned value) {
    out.append("\\u");
    for (int shift = 12; shift >= 0; shift -= 4)
        out.push_back(kHex[(value >> shift) & 0xF]);
}

// Length of the well-formed UTF-8 sequence at `at` (RFC 3629: no overlong forms, no
// surrogates, nothing above U+10FFFF), or 0.
std::size_t utf8SequenceLength(std::string_view text, std::size_t at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF)
        length = 2;
    else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0)
            low = 0xA0;
        if (lead == 0xED)
            high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0)
            low = 0x90;
        if (lead == 0xF4)
            high = 0x8F;
    } else
        return 0;
    if (at + length > text.size())
        return 0;
    if (byte(at + 1) < low || byte(at + 1) > high)
        return 0;
    for (std::size_t i = 2; i < length; ++i)
        if (byte(at + i) < 0x80 || byte(at + i) > 0xBF)
            return 0;
    return length;
}

void appendNumber(std::string& out, std::int64_t value) {
    char digits[24];
    const auto [end, error] = std::to_chars(digits, std::end(digits), value);
    (void)error; // 24 characters hold every 64-bit value
    out.append(digits, end);
}

} // namespace

void appendJsonString(std::string& out, std::string_view text) {
    out.push_back('"');
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            if (c == '"' || c == '\\') {
                out.push_back('\\');
                out.push_back(static_cast<char>(c));
            } else if (c == '\n') {
                out.append("\\n");
            } else if (c == '\r') {
                out.append("\\r");
            } else if (c == '\t') {
                out.append("\\t");
            } else if (c < 0x20 || c == 0x7F) {
                appendEscape(out, c);
            } else {
                out.push_back(static_cast<char>(c));
            }
            ++i;
            continue;
        }
        if (const std::size_t length = utf8SequenceLength(text, i)) {
            out.append(text.substr(i, length));
            i += length;
        } else {
            appendEscape(out, 0xDC00u + c);
            ++i;
        }
    }
    out.push_back('"');
}

void appendJsonRow(std::string& out, const FileFacts& facts) {
    const bool unreadable = !facts.readFailures.empty();
    out.append("{\"codec\":");
    if (unreadable)
        out.append("null");
    else
        appendJsonString(out, codecText(facts));
    // The codec above is the window's text in the chosen language; scripts compare this one.
    out.append(",\"format_name\":");
    if (unreadable || facts.header.kind != HeaderKind::Wave)
        out.append("null");
    else
        appendJsonString(out, codecNameInEnglish(facts.header.formatTag));
    out.append(",\"format_tag\":");
    appendNumber(out, facts.header.formatTag);
    out.append(",\"file\":");
    appendJsonString(out, facts.path);
    out.append(",\"sample_rate\":");
    appendNumber(out, facts.header.sampleRate);
    out.append(",\"modified\":");
    const std::string modified =
        facts.hasStatus
            ? platform::isoLocalTime(static_cast<std::int64_t>(facts.lastModified.tv_sec))
            : "";
    if (modified.empty())
        out.append("null");
    else
        appendJsonString(out, modified);
    out.append(",\"size\":");
    if (facts.hasStatus)
        appendNumber(out, facts.size);
    else
        out.append("null");
    if (unreadable) {
        std::string error;
        for (const Failure& failure : facts.readFailures) {
            if (!error.empty())
                error.append("; ");
            error.append(failure.description);
        }
        out.append(",\"error\":");
        appendJsonString(out, error);
    }
    out.push_back('}');
}

} // namespace tambrel::cli
