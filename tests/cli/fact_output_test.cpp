// What the tool tells of each file's header, end to end on a generated server with awkward
// files: the facts as JSON members and as the --details columns (the five before them the
// plain CSV's, byte for byte), and the problems counted apart from the codecs.
#include "cli/run_cli.h"
#include "tests/inventory/scan/server_tree.h"
#include "tests/support/temporary_folder.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>

namespace tambrel::testing {
namespace {

struct AwkwardFile {
    const char* name;
    std::string bytes;
    // The --details columns after the five, and the JSON members from format_name to format_tag.
    const char* details;
    const char* json;
};

std::vector<AwkwardFile> awkwardFiles() {
    WaveFormat stereo24{1, 2, 48000, 24};
    const std::string sound(64, '\x80');
    return {
        {"pcm16.wav", canonicalWave(1, 8000), "1,PCM,,1,16,2,16000,64,0.004,,",
         R"("format_name":"PCM","format_tag":1,)"},
        {"extensible24.wav",
         riff("RIFF", "WAVE",
              {chunk("fmt ", extensibleFields(stereo24)), chunk("data", std::string(576, '\0'))}),
         "65534,PCM,1,2,24,6,288000,576,0.002,,", R"("format_name":"PCM","format_tag":65534,)"},
        {"mulaw-fact.wav",
         riff("RIFF", "WAVE",
              {chunk("fmt ", formatPayload(7, 8000, 8)), factChunk(64), chunk("data", sound)}),
         "7,G.711 mu-law,,1,8,1,8000,64,0.008,,",
         R"("format_name":"G.711 mu-law","format_tag":7,)"},
        {"cut-short.wav",
         riff("RIFF", "WAVE", {chunk("fmt ", formatPayload(1, 8000)), chunkHeader("data", 1000)}) +
             std::string(10, '\0'),
         "1,PCM,,1,16,2,16000,10,0.000625,truncated,The audio data is cut short.", nullptr},
        {"header-only.wav", riff("RIFF", "WAVE", {chunk("fmt ", formatPayload(1, 8000))}),
         "1,PCM,,1,16,2,16000,,,no_data,The file holds no audio data.", nullptr},
        {"short-format.wav",
         riff("RIFF", "WAVE",
              {chunk("fmt ", formatPayload(1, 8000).substr(0, 4)), chunk("data", sound)}),
         "1,PCM,,1,,,,64,,format_chunk_short,The format chunk is too short for its fields.",
         nullptr},
        {"trailing.wav", canonicalWave(1, 8000) + "junk",
         "1,PCM,,1,16,2,16000,64,0.004,riff_length_mismatch,The RIFF length is not the file's "
         "size.",
         nullptr},
        {"big-endian.wav",
         riff("RIFX", "WAVE", {chunk("fmt ", formatFields(WaveFormat{}, {}, true))}), nullptr,
         R"("format_name":"PCM","format_tag":1,)"},
        {"empty.wav", "", ",,,,,,,,,empty,The file is empty.",
         R"("format_name":null,"format_tag":null,)"},
        {"text.wav", "not a wave", ",,,,,,,,,not_riff,The file is not a RIFF file.", nullptr},
    };
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);)
        out.push_back(line.ends_with('\r') ? line.substr(0, line.size() - 1) : line);
    return out;
}

const std::string* lineNaming(const std::vector<std::string>& all, std::string_view name) {
    const std::string needle = "\\" + std::string(name);
    for (const std::string& line : all)
        if (line.find(needle) != std::string::npos)
            return &line;
    return nullptr;
}

TEST(CliFacts, EveryAwkwardFileTellsItsFactsAndProblem) {
    ServerTree server;
    server.makeEmptyServer();
    const std::vector<AwkwardFile> files = awkwardFiles();
    for (const AwkwardFile& file : files)
        server.write("Stream Files/" + std::string(file.name), file.bytes);
    // A link to itself: no open succeeds, whoever runs the test.
    std::filesystem::create_symlink("locked.wav", server.root() / "Stream Files/locked.wav");

    TemporaryFolder out;
    auto run = [&](const char* file, std::vector<std::string> extra) {
        std::vector<std::string> arguments = {"--prefix",    server.prefix().string(),
                                              "--language",  "ENU",
                                              "--greetings", (out / file).string()};
        arguments.insert(arguments.end(), extra.begin(), extra.end());
        EXPECT_EQ(cli::runCli(arguments), cli::kSomeFilesUnreadable);
        return lines(readFile((out / file).string()));
    };
    const std::vector<std::string> plain = run("plain.csv", {});
    const std::vector<std::string> details = run("details.csv", {"--details"});
    const std::vector<std::string> json = run("rows.json", {"--format", "json"});

    ASSERT_EQ(details.size(), plain.size());
    EXPECT_EQ(details[0], plain[0] +
                              ",format_tag,format_name,sub_format_tag,channels,bits_per_sample,"
                              "block_align,byte_rate,data_bytes,duration_seconds,problem,"
                              "problem_text");
    for (std::size_t i = 1; i < plain.size(); ++i)
        EXPECT_EQ(details[i].substr(0, plain[i].size() + 1), plain[i] + ",");

    for (const AwkwardFile& file : files) {
        SCOPED_TRACE(file.name);
        const std::string* row = lineNaming(details, file.name);
        const std::string* object = lineNaming(json, file.name);
        ASSERT_TRUE(row && object);
        if (file.details) {
            EXPECT_TRUE(row->ends_with(std::string(",") + file.details)) << *row;
        }
        if (file.json) {
            EXPECT_NE(object->find(file.json), std::string::npos) << *object;
        }
    }
    const std::string* object = lineNaming(json, "locked.wav");
    ASSERT_TRUE(object);
    EXPECT_NE(object->find(R"("format_name":null,"format_tag":null,)"), std::string::npos);
    EXPECT_NE(object->find(R"("problem":"unreadable","problem_text":"The file cannot be )"
                           R"(read: Too many levels of symbolic links")"),
              std::string::npos)
        << *object;
}

TEST(CliFacts, SummaryCountsProblemsApartFromTheCodecs) {
    ServerTree server;
    server.makeEmptyServer();
    server.writeWave("Stream Files/good.wav");
    server.write("Stream Files/cut.wav", canonicalWave(1, 8000).substr(0, 50));
    // A link to itself: no open succeeds, whoever runs the test.
    std::filesystem::create_symlink("locked.wav", server.root() / "Stream Files/locked.wav");
    ::testing::internal::CaptureStdout();
    (void)cli::runCli({"--prefix", server.prefix().string(), "--format", "json"});
    const std::string summary = ::testing::internal::GetCapturedStdout();
    EXPECT_NE(summary.find(R"({"problem":"truncated","files":1,)"), std::string::npos) << summary;
    // The unreadable file is no invalid WAV file: only the two it could read have a codec.
    EXPECT_NE(summary.find(R"({"codec":"PCM 16","sample_rate":8000,"files":2,)"), std::string::npos)
        << summary;
    EXPECT_NE(summary.find(R"({"problem":"unreadable","files":1,)"), std::string::npos);
}

} // namespace
} // namespace tambrel::testing
