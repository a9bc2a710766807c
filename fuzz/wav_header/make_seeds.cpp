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
    };
    for (const auto& [name, bytes] : seeds)
        std::ofstream(folder / name, std::ios::binary) << bytes;
    std::printf("%zu seeds in %s\n", seeds.size(), folder.c_str());
    return 0;
}
