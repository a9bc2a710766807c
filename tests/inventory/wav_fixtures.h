// Building WAV files byte by byte for the tests: canonical files, and the layouts recorders and
// other programs really write (chunks before the format chunk, other RIFF forms).
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace tambrel::testing {

inline std::string littleEndian(std::uint64_t value, int bytes) {
    std::string out;
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    return out;
}

// A chunk: id, 32-bit length, payload and the pad byte an odd length needs.
inline std::string chunk(std::string_view id, std::string_view payload) {
    std::string out(id);
    out += littleEndian(payload.size(), 4);
    out += payload;
    if (payload.size() % 2)
        out.push_back('\0');
    return out;
}

// A chunk whose length field says `length` whatever follows.
inline std::string chunkHeader(std::string_view id, std::uint32_t length) {
    return std::string(id) + littleEndian(length, 4);
}

// The 16 bytes of a WAVEFORMAT with PCM-like fields around the tag and rate.
inline std::string formatPayload(std::uint16_t tag, std::uint32_t rate, std::uint16_t bits = 16) {
    const std::uint16_t channels = 1;
    const std::uint16_t align = static_cast<std::uint16_t>(channels * bits / 8);
    return littleEndian(tag, 2) + littleEndian(channels, 2) + littleEndian(rate, 4) +
           littleEndian(rate * align, 4) + littleEndian(align, 2) + littleEndian(bits, 2);
}

// A RIFF file of the given form whose body is `chunks` laid end to end.
inline std::string riff(std::string_view tag, std::string_view form,
                        std::initializer_list<std::string> chunks) {
    std::string body(form);
    for (const std::string& piece : chunks)
        body += piece;
    return std::string(tag) + littleEndian(body.size(), 4) + body;
}

inline std::string bigEndian(std::uint64_t value, int bytes) {
    std::string out = littleEndian(value, bytes);
    return std::string(out.rbegin(), out.rend());
}

// The fields of a format chunk; a zero block alignment or byte rate is worked out from the rest.
struct WaveFormat {
    std::uint16_t tag = 1;
    std::uint16_t channels = 1;
    std::uint32_t rate = 8000;
    std::uint16_t bits = 16;
    std::uint16_t blockAlign = 0;
    std::uint32_t byteRate = 0;

    std::uint16_t align() const {
        return blockAlign ? blockAlign : static_cast<std::uint16_t>(channels * bits / 8);
    }
    std::uint32_t bytesPerSecond() const { return byteRate ? byteRate : rate * align(); }
};

// The 16 bytes of the fields, in either byte order, and `extra` after them (cbSize and beyond).
inline std::string formatFields(const WaveFormat& format, std::string_view extra = {},
                                bool big = false) {
    auto number = [big](std::uint64_t value, int bytes) {
        return big ? bigEndian(value, bytes) : littleEndian(value, bytes);
    };
    return number(format.tag, 2) + number(format.channels, 2) + number(format.rate, 4) +
           number(format.bytesPerSecond(), 4) + number(format.align(), 2) + number(format.bits, 2) +
           std::string(extra);
}

// An extensible format chunk's 40 bytes whose sub-format GUID carries `subFormat`'s tag.
inline std::string extensibleFields(WaveFormat format) {
    const std::uint16_t subTag = format.tag;
    format.tag = 0xFFFE;
    const std::string guidTail("\x00\x00\x10\x00\x80\x00\x00\xAA\x00\x38\x9B\x71", 12);
    return formatFields(format, littleEndian(22, 2) + littleEndian(format.bits, 2) +
                                    littleEndian(0x4, 4) + littleEndian(subTag, 4) + guidTail);
}

inline std::string factChunk(std::uint32_t samples) {
    return chunk("fact", littleEndian(samples, 4));
}

// A canonical file: the format chunk right after the preamble, then a little sound.
inline std::string canonicalWave(std::uint16_t tag, std::uint32_t rate) {
    return riff("RIFF", "WAVE",
                {chunk("fmt ", formatPayload(tag, rate)), chunk("data", std::string(64, '\x80'))});
}

} // namespace tambrel::testing
