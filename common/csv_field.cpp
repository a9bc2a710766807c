#include "common/csv_field.h"

#include <cstdint>
#include <cstring>

namespace tambrel {
namespace {

constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;

// Non-zero when some byte of `word` equals `byte`. Exact, not the cheaper form that can
// report a byte just above a match: a false alarm here would quote a field that needs none.
constexpr std::uint64_t hasByte(std::uint64_t word, unsigned char byte) {
    const std::uint64_t x = word ^ (kOnes * byte);
    return ~(((x & ~kHighBits) + ~kHighBits) | x | ~kHighBits);
}

bool isSpecial(char c) {
    return c == ',' || c == '"' || c == '\r' || c == '\n';
}

} // namespace

bool needsCsvQuoting(std::string_view text) {
    // Eight bytes at a time: the export checks every byte of every cell of up to a million
    // rows, and a byte-wise loop was most of its cost.
    const char* at = text.data();
    std::size_t left = text.size();
    for (; left >= sizeof(std::uint64_t);
         at += sizeof(std::uint64_t), left -= sizeof(std::uint64_t)) {
        std::uint64_t word;
        std::memcpy(&word, at, sizeof word);
        if (hasByte(word, ',') | hasByte(word, '"') | hasByte(word, '\r') | hasByte(word, '\n'))
            return true;
    }
    for (; left > 0; ++at, --left)
        if (isSpecial(*at))
            return true;
    return false;
}

void appendCsvField(std::string& line, std::string_view text) {
    if (!needsCsvQuoting(text)) {
        line.append(text);
        return;
    }
    line.push_back('"');
    for (char c : text) {
        if (c == '"')
            line.push_back('"');
        line.push_back(c);
    }
    line.push_back('"');
}

std::string csvField(std::string_view text) {
    std::string field;
    field.reserve(text.size() + 2);
    appendCsvField(field, text);
    return field;
}

} // namespace tambrel
