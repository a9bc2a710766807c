#include "report/name_key.h"

#include "common/text/utf16_text.h"

#include <cstring>

namespace tambrel::report {
namespace {

char32_t upcase(char32_t c) {
    if (c >= U'a' && c <= U'z')
        return c - 0x20;
    if (c < 0xE0)
        return c;
    if (c <= 0xFE)
        return c == 0xF7 ? c : c - 0x20;
    if (c == 0xFF)
        return 0x178;
    // Latin Extended-A pairs its letters upper, lower; the dotted and dotless i keep their own.
    if ((c >= 0x100 && c <= 0x12F) || (c >= 0x132 && c <= 0x137) || (c >= 0x14A && c <= 0x177))
        return c & ~char32_t{1};
    if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E))
        return (c & 1) ? c : c - 1;
    if (c >= 0x3B1 && c <= 0x3C9 && c != 0x3C2)
        return c - 0x20;
    if (c == 0x3C2)
        return 0x3A3; // final sigma
    if (c >= 0x430 && c <= 0x44F)
        return c - 0x20;
    if (c >= 0x450 && c <= 0x45F)
        return c - 0x50;
    if (c >= 0xFF41 && c <= 0xFF5A)
        return c - 0x20;
    return c;
}

constexpr std::uint64_t kHighBits = 0x8080808080808080u;

// Eight ASCII bytes upper-cased at once: a byte from 'a' to 'z' loses its 0x20 bit.
std::uint64_t upcaseAsciiWord(std::uint64_t word) {
    const std::uint64_t atLeastA = word + 0x1F1F1F1F1F1F1F1Fu; // high bit from 0x61 up
    const std::uint64_t aboveZ = word + 0x0505050505050505u;   // high bit from 0x7B up
    const std::uint64_t lower = atLeastA & ~aboveZ & kHighBits;
    return word ^ (lower >> 2);
}

std::uint64_t mixInto(std::uint64_t hash, std::uint64_t word, std::uint64_t multiplier) {
    hash ^= word;
    hash *= multiplier;
    return hash ^ (hash >> 29);
}

constexpr std::uint64_t kFirst = 0x9E3779B97F4A7C15u;
constexpr std::uint64_t kSecond = 0xC2B2AE3D27D4EB4Fu;

RowKey hashAscii(RowKey key, std::string_view text) {
    std::size_t i = 0;
    for (; i + 8 <= text.size(); i += 8) {
        std::uint64_t word;
        std::memcpy(&word, text.data() + i, 8);
        word = upcaseAsciiWord(word);
        key.hash = mixInto(key.hash, word, kFirst);
        key.check = mixInto(key.check, word, kSecond);
    }
    std::uint64_t tail = 0;
    std::memcpy(&tail, text.data() + i, text.size() - i);
    tail = upcaseAsciiWord(tail) ^ (std::uint64_t{text.size()} << 56);
    return {mixInto(key.hash, tail, kFirst), mixInto(key.check, tail, kSecond)};
}

bool isAscii(std::string_view text) {
    for (char c : text)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

} // namespace

std::string windowsUpcase(std::string_view path) {
    std::string out;
    out.reserve(path.size());
    for (std::size_t i = 0; i < path.size();) {
        char32_t c = static_cast<unsigned char>(path[i]);
        const std::size_t length = c < 0x80 ? 1 : decodeUtf8Sequence(path.substr(i), c);
        if (length == 0) {
            out.push_back(path[i++]);
            continue;
        }
        appendCodePointAsUtf8(upcase(c), out);
        i += length;
    }
    return out;
}

std::uint64_t mixHash(std::uint64_t hash, std::uint64_t word) {
    return mixInto(hash, word, kFirst);
}

RowKey rowKey(ListKind list, std::string_view path) {
    const RowKey seed = list == ListKind::Greetings
                            ? RowKey{0x243F6A8885A308D3u, 0xA4093822299F31D0u}
                            : RowKey{0x13198A2E03707344u, 0x082EFA98EC4E6C89u};
    if (isAscii(path))
        return hashAscii(seed, path);
    return hashAscii(seed, windowsUpcase(path));
}

} // namespace tambrel::report
