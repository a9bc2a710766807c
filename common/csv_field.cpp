#include "common/csv_field.h"

#include <cstdint>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

// Non-zero when some byte of `word` is below `limit` (at most 128). Every byte that forces
// quotes is below ',' + 1, and most words of a path have none, so this one test settles them.
constexpr std::uint64_t hasByteBelow(std::uint64_t word, unsigned char limit) {
    return (word - kOnes * limit) & ~word & kHighBits;
}

bool wordNeedsQuoting(std::uint64_t word) {
    if (!hasByteBelow(word, ',' + 1))
        return false;
    return (hasByte(word, ',') | hasByte(word, '"') | hasByte(word, '\r') | hasByte(word, '\n')) !=
           0;
}

} // namespace

bool needsCsvQuoting(std::string_view text) {
    // Eight bytes at a time: the export checks every byte of every cell of up to a million
    // rows, and a byte-wise loop was most of its cost. The last word is read where it ends
    // with the text, overlapping the one before, so no cell needs a loop over its last bytes.
    const char* at = text.data();
    const std::size_t size = text.size();
    constexpr std::size_t kWord = sizeof(std::uint64_t);
    if (size < kWord) {
        for (std::size_t i = 0; i < size; ++i)
            if (at[i] == ',' || at[i] == '"' || at[i] == '\r' || at[i] == '\n')
                return true;
        return false;
    }
#if defined(__SSE2__)
    // Sixteen bytes at a time where the processor has the instructions, as every x86-64 does.
    if (size >= 16) {
        const __m128i comma = _mm_set1_epi8(','), quote = _mm_set1_epi8('"'),
                      carriageReturn = _mm_set1_epi8('\r'), lineFeed = _mm_set1_epi8('\n');
        auto blockNeedsQuoting = [&](const char* block) {
            const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block));
            const __m128i found = _mm_or_si128(
                _mm_or_si128(_mm_cmpeq_epi8(bytes, comma), _mm_cmpeq_epi8(bytes, quote)),
                _mm_or_si128(_mm_cmpeq_epi8(bytes, carriageReturn),
                             _mm_cmpeq_epi8(bytes, lineFeed)));
            return _mm_movemask_epi8(found) != 0;
        };
        for (std::size_t offset = 0; offset + 16 < size; offset += 16)
            if (blockNeedsQuoting(at + offset))
                return true;
        return blockNeedsQuoting(at + size - 16);
    }
#endif
    std::uint64_t word;
    for (std::size_t offset = 0; offset + kWord < size; offset += kWord) {
        std::memcpy(&word, at + offset, kWord);
        if (wordNeedsQuoting(word))
            return true;
    }
    std::memcpy(&word, at + size - kWord, kWord);
    return wordNeedsQuoting(word);
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
