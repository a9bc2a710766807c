#include "report/format_words.h"

#include <array>
#include <cstdio>

namespace tambrel::report {
namespace {

struct FormatWord {
    std::string_view word;
    std::uint32_t tag;
};

// The registered tags (RFC 2361) of the formats recordings are kept in; aliases follow the
// word a tag is written back as.
constexpr std::array<FormatWord, 21> kWords = {{
    {"pcm", 0x0001},        {"adpcm", 0x0002},      {"float", 0x0003},     {"alaw", 0x0006},
    {"mulaw", 0x0007},      {"ulaw", 0x0007},       {"oki_adpcm", 0x0010}, {"ima_adpcm", 0x0011},
    {"dvi_adpcm", 0x0011},  {"truespeech", 0x0022}, {"gsm610", 0x0031},    {"gsm", 0x0031},
    {"msn_audio", 0x0032},  {"g721", 0x0040},       {"g728", 0x0041},      {"mpeg", 0x0050},
    {"mp3", 0x0055},        {"g726", 0x0064},       {"g722", 0x0065},      {"g729a", 0x0083},
    {"extensible", 0xFFFE},
}};

bool sameWord(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const char c = a[i] >= 'A' && a[i] <= 'Z' ? static_cast<char>(a[i] + 32) : a[i];
        if (c != b[i])
            return false;
    }
    return true;
}

} // namespace

std::optional<std::uint32_t> formatTagOfWord(std::string_view word) {
    for (const FormatWord& entry : kWords)
        if (sameWord(word, entry.word))
            return entry.tag;
    return std::nullopt;
}

std::string formatWordOfTag(std::uint32_t tag) {
    for (const FormatWord& entry : kWords)
        if (entry.tag == tag)
            return std::string(entry.word);
    char text[16];
    std::snprintf(text, sizeof text, "0x%04X", static_cast<unsigned>(tag));
    return text;
}

std::string formatWordList() {
    std::string list;
    for (const FormatWord& entry : kWords) {
        if (!list.empty())
            list.append(", ");
        list.append(entry.word);
    }
    return list;
}

} // namespace tambrel::report
