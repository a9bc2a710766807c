// Writes the seed corpus of fuzz_wav_header: the layouts real files have, canonical and not.
#include "tests/inventory/wav_fixtures.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <utility>
#include <vector>

int main(int argc, char** argv) {
    using namespace tambrel::testing;
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <corpus folder>\n", argv[0]);
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::filesystem::create_directories(folder);
    const std::string data = chunk("data", std::string(24, '\x80'));
    const std::vector<std::pair<const char*, std::string>> seeds = {
        {"canonical_pcm", canonicalWave(1, 8000)},
        {"canonical_gsm", canonicalWave(0x31, 8000)},
        {"lower_riff", riff("riff", "wave", {chunk("fmt ", formatPayload(7, 8000))})},
        {"rifx", riff("RIFX", "WAVE", {chunk("fmt ", formatPayload(1, 8000))})},
        {"text", "notes\n"},
        {"short22", canonicalWave(1, 8000).substr(0, 22)},
        {"list_first",
         riff("RIFF", "WAVE",
              {chunk("LIST", "INFOISFTx"), chunk("fmt ", formatPayload(6, 8000)), data})},
        {"junk_first",
         riff("RIFF", "WAVE",
              {chunk("JUNK", std::string(28, '\0')), chunk("fmt ", formatPayload(1, 8000))})},
        {"bext_first",
         riff("RIFF", "WAVE",
              {chunk("bext", std::string(602, ' ')), chunk("fmt ", formatPayload(1, 44100))})},
        {"avi", riff("RIFF", "AVI ", {chunk("LIST", "hdrlavih")})},
        {"no_fmt", riff("RIFF", "WAVE", {chunk("LIST", "INFO"), data})},
        {"huge_chunk",
         riff("RIFF", "WAVE",
              {chunkHeader("JUNK", 0xFFFFFFF0u), chunk("fmt ", formatPayload(1, 8000))})},
        {"fmt_cut", riff("RIFF", "WAVE", {chunk("LIST", "INFO"), chunkHeader("fmt ", 16)})},
        {"extensible", canonicalWave(0xFFFE, 48000)},
        // One seed for each problem the facts name, and the layouts the facts read.
        {"problem_empty", ""},
        {"problem_not_riff", "ID3\x03 tags of an MPEG file"},
        {"problem_rifx", "RIFX" + bigEndian(36, 4) + "WAVEfmt " + bigEndian(16, 4) +
                             formatFields({}, {}, true) + "data" + bigEndian(0, 4)},
        {"problem_rf64", "RF64" + littleEndian(0xFFFFFFFFu, 4) + "WAVE" +
                             chunk("ds64", littleEndian(60, 8) + littleEndian(8, 8) +
                                               littleEndian(4, 8) + littleEndian(0, 4)) +
                             chunk("fmt ", formatFields({})) + chunkHeader("data", 0xFFFFFFFFu) +
                             std::string(8, '\0')},
        {"problem_not_wave", riff("RIFF", "RMID", {chunk("data", "MThd")})},
        {"problem_header_truncated", canonicalWave(1, 8000).substr(0, 30)},
        {"problem_no_format_chunk", riff("RIFF", "WAVE", {chunk("LIST", "INFO"), data})},
        {"problem_format_chunk_short",
         riff("RIFF", "WAVE", {chunk("fmt ", formatFields({}).substr(0, 4)), data})},
        {"problem_invalid_format",
         riff("RIFF", "WAVE", {chunk("fmt ", formatFields({.channels = 0})), data})},
        {"problem_no_data", riff("RIFF", "WAVE", {chunk("fmt ", formatFields({}))})},
        {"problem_truncated",
         riff("RIFF", "WAVE", {chunk("fmt ", formatFields({})), chunkHeader("data", 8000)})},
        {"problem_riff_length_mismatch",
         "RIFF" + littleEndian(1000, 4) + "WAVE" + chunk("fmt ", formatFields({})) + data},
        {"extensible_mulaw",
         riff("RIFF", "WAVE",
              {chunk("fmt ", extensibleFields({.tag = 7, .bits = 8})), factChunk(24), data})},
        {"gsm_fact",
         riff("RIFF", "WAVE",
              {chunk("fmt ",
                     formatFields({.tag = 0x31, .bits = 0, .blockAlign = 65, .byteRate = 1625},
                                  littleEndian(2, 2) + littleEndian(320, 2))),
               factChunk(320), chunk("data", std::string(65, '\0'))})},
        {"list_past_first_read",
         riff("RIFF", "WAVE",
              {chunk("LIST", std::string(5000, 'i')), chunk("fmt ", formatFields({})), data})},
    };
    for (const auto& [name, bytes] : seeds)
        std::ofstream(folder / name, std::ios::binary) << bytes;
    std::printf("%zu seeds in %s\n", seeds.size(), folder.c_str());
    return 0;
}
