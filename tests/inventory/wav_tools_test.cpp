// The facts of files that sox and ffmpeg write, checked against what soxi reads from them.
#include "inventory/wav_header.h"
#include "tests/support/temporary_folder.h"

#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>

namespace tambrel {
namespace {

bool installed(const char* program) {
    return std::system(("command -v " + std::string(program) + " >/dev/null 2>&1").c_str()) == 0;
}

// The first line a command prints, or nothing when it fails.
std::optional<std::string> output(const std::string& command) {
    FILE* pipe = ::popen((command + " 2>/dev/null").c_str(), "r");
    if (!pipe)
        return std::nullopt;
    std::string text;
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe))
        text += buffer;
    if (::pclose(pipe) != 0 || text.empty())
        return std::nullopt;
    return text.substr(0, text.find('\n'));
}

struct ToolCase {
    const char* file;
    const char* tool; // "sox" or "ffmpeg"
    std::string arguments;
    std::uint16_t codecTag;
    WavProblem problem = WavProblem::None;
    // soxi counts whole blocks of a block codec, where sox's own fact chunk counts the samples
    // recorded: the two differ by less than the last block.
    double blockSeconds = 0;
};

std::vector<ToolCase> toolCases() {
    return {
        {"sox_u8.wav", "sox", "-e unsigned -b 8", 0x0001},
        {"sox_s16.wav", "sox", "-e signed -b 16", 0x0001},
        {"sox_s24.wav", "sox", "-e signed -b 24", 0x0001},
        {"sox_s32.wav", "sox", "-e signed -b 32", 0x0001},
        {"sox_f32.wav", "sox", "-e float -b 32", 0x0003},
        {"sox_f64.wav", "sox", "-e float -b 64", 0x0003},
        {"sox_stereo.wav", "sox", "-c 2 -e signed -b 16", 0x0001},
        {"sox_six_channels.wav", "sox", "-c 6 -e signed -b 16", 0x0001},
        {"sox_mulaw.wav", "sox", "-e mu-law", 0x0007},
        {"sox_alaw.wav", "sox", "-e a-law", 0x0006},
        {"sox_ima.wav", "sox", "-e ima-adpcm", 0x0011, WavProblem::None, 505 / 8000.0},
        {"sox_msadpcm.wav", "sox", "-e ms-adpcm", 0x0002, WavProblem::None, 500 / 8000.0},
        {"sox_gsm.wav", "sox", "-e gsm-full-rate", 0x0031, WavProblem::None, 320 / 8000.0},
        {"ff_u8.wav", "ffmpeg", "-c:a pcm_u8", 0x0001},
        {"ff_s16.wav", "ffmpeg", "-c:a pcm_s16le", 0x0001},
        {"ff_s24.wav", "ffmpeg", "-c:a pcm_s24le", 0x0001},
        {"ff_s32.wav", "ffmpeg", "-c:a pcm_s32le", 0x0001},
        {"ff_f32.wav", "ffmpeg", "-c:a pcm_f32le", 0x0003},
        {"ff_six_channels.wav", "ffmpeg", "-ac 6 -c:a pcm_s16le", 0x0001},
        {"ff_mulaw.wav", "ffmpeg", "-c:a pcm_mulaw", 0x0007},
        {"ff_alaw.wav", "ffmpeg", "-c:a pcm_alaw", 0x0006},
        {"ff_ima.wav", "ffmpeg", "-c:a adpcm_ima_wav", 0x0011},
        {"ff_msadpcm.wav", "ffmpeg", "-c:a adpcm_ms", 0x0002},
        {"ff_gsm.wav", "ffmpeg", "-c:a gsm_ms", 0x0031},
        {"ff_g726.wav", "ffmpeg", "-c:a g726", 0x0045},
        {"ff_tags.wav", "ffmpeg", "-c:a pcm_mulaw -metadata title=Greeting -metadata artist=Desk",
         0x0007},
        {"ff_broadcast.wav", "ffmpeg", "-c:a pcm_s16le -write_bext 1", 0x0001},
        {"ff_rf64.wav", "ffmpeg", "-c:a pcm_s16le -rf64 always", 0x0001, WavProblem::Rf64},
    };
}

TEST(WavTools, FactsOfFilesFromSoxAndFfmpegAgreeWithSoxi) {
    if (!installed("sox") || !installed("soxi"))
        GTEST_SKIP() << "sox is not installed";
    const bool ffmpeg = installed("ffmpeg");
    testing::TemporaryFolder folder;
    const std::string source = (folder / "source.wav").string();
    // An odd length, so that no duration is a whole number of blocks by chance.
    ASSERT_EQ(
        std::system(("sox -n -r 8000 -c 1 -b 16 '" + source + "' synth 1.3713 sine 440").c_str()),
        0);
    for (const ToolCase& row : toolCases()) {
        SCOPED_TRACE(row.file);
        const bool sox = std::string(row.tool) == "sox";
        if (!sox && !ffmpeg)
            continue;
        const std::string path = (folder / row.file).string();
        const std::string command =
            sox ? "sox '" + source + "' " + row.arguments + " '" + path + "'"
                : "ffmpeg -loglevel error -y -i '" + source + "' " + row.arguments + " '" + path +
                      "'";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
        const std::string bytes = testing::readFile(path);
        const HeaderDecoding decoded = decodeWavHeader(
            MemoryByteSource(std::as_bytes(std::span<const char>(bytes.data(), bytes.size()))),
            bytes.size());
        const WavFacts& facts = decoded.facts;
        EXPECT_EQ(wavProblemCode(facts.problem), wavProblemCode(row.problem));
        EXPECT_EQ(facts.codecTag(), row.codecTag);
        const std::optional<std::string> seconds = output("soxi -D '" + path + "'");
        if (!seconds)
            continue; // a form sox does not read
        ASSERT_TRUE(facts.durationSeconds());
        if (row.blockSeconds > 0) {
            EXPECT_LE(*facts.durationSeconds(), std::stod(*seconds));
            EXPECT_GT(*facts.durationSeconds(), std::stod(*seconds) - row.blockSeconds);
        } else {
            EXPECT_NEAR(*facts.durationSeconds(), std::stod(*seconds), 0.001);
        }
        EXPECT_EQ(facts.sampleRate(), std::stoul(output("soxi -r '" + path + "'").value_or("0")));
        EXPECT_EQ(facts.channels(), std::stoul(output("soxi -c '" + path + "'").value_or("0")));
    }
}

// ffmpeg writing to a pipe cannot go back to fill in the lengths: it leaves the largest ones,
// so the data chunk claims more than the file holds.
TEST(WavTools, AStreamedFileIsTruncatedWithTheAudioItHolds) {
    if (!installed("ffmpeg"))
        GTEST_SKIP() << "ffmpeg is not installed";
    testing::TemporaryFolder folder;
    const std::string path = (folder / "streamed.wav").string();
    const std::string command = "ffmpeg -loglevel error -f lavfi -i sine=duration=0.5:sample_rate="
                                "8000 -c:a pcm_s16le -f wav - > '" +
                                path + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    const std::string bytes = testing::readFile(path);
    const WavFacts facts =
        decodeWavHeader(
            MemoryByteSource(std::as_bytes(std::span<const char>(bytes.data(), bytes.size()))),
            bytes.size())
            .facts;
    EXPECT_EQ(facts.problem, WavProblem::Truncated);
    ASSERT_TRUE(facts.durationSeconds());
    EXPECT_NEAR(*facts.durationSeconds(), 0.5, 0.001);
}

} // namespace
} // namespace tambrel
