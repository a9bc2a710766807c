// The tool's rows against the window's: the same scan into the tool's grid and into the
// in-memory grid must give the same CSV bytes, and the JSON text of a row must stay a valid
// document whatever bytes a file name holds.
#include "cli/json_rows.h"
#include "cli/listing_grid.h"
#include "common/memory_grid.h"
#include "export/csv_writer.h"
#include "inventory/file_system.h"
#include "inventory/folder_scan.h"
#include "tests/scan/server_tree.h"
#include "tests/support/recording_dialogs.h"

#include <gtest/gtest.h>

namespace tambrel::testing {
namespace {

constexpr std::string_view kHeader = "Codec, File Name, Sample Rate, Date Last Modified, File Size";

TEST(ListingGrid, GivesTheWindowsCsvBytesForTheSameScan) {
    ServerTree server;
    server.makeEmptyServer();
    server.writeWave("Stream Files/plain.wav");
    server.write("Stream Files/notes, with comma.txt", "not a wave");
    server.write("Stream Files/empty.wav", "");
    server.write("Stream Files/latin-\xe9.wav", canonicalWave(6, 8000));
    server.write("Stream Files/quote\".wav",
                 riff("RIFF", "WAVE", {chunk("fmt ", formatPayload(0xFFFE, 0x80000000u))}));
    server.write("localize/defaultconfiguration/DEU/gruss.WAV", canonicalWave(49, 8000));
    server.write("Localize/Prompts/ENU/Standard/hello.wav", canonicalWave(7, 11025));
    server.write("Localize/Prompts/ENU/Standard/Deep/more.wav", canonicalWave(2, 16000));

    RecordingDialogs dialogs;
    const FileSystemObject fileSystem;
    MemoryGrid windowGreetings = MemoryGrid::withFileRowColumns();
    MemoryGrid windowPrompts = MemoryGrid::withFileRowColumns();
    ASSERT_EQ(runLoadSequence(fileSystem, windowGreetings, windowPrompts), LoadOutcome::Completed);
    cli::ListingGrid toolGreetings(true);
    cli::ListingGrid toolPrompts(true);
    ASSERT_EQ(runLoadSequence(fileSystem, toolGreetings, toolPrompts), LoadOutcome::Completed);
    ASSERT_EQ(toolGreetings.Rows(), windowGreetings.Rows());
    ASSERT_EQ(toolPrompts.Rows(), windowPrompts.Rows());
    EXPECT_EQ(toolGreetings.summary().files, windowGreetings.Rows() - 1);

    TemporaryFolder out;
    const struct {
        const char* name;
        const Grid& window;
        const Grid& tool;
    } lists[] = {{"greetings", windowGreetings, toolGreetings},
                 {"prompts", windowPrompts, toolPrompts}};
    for (const auto& list : lists) {
        SCOPED_TRACE(list.name);
        const std::string windowFile = (out / (std::string(list.name) + "-window.csv")).string();
        const std::string toolFile = (out / (std::string(list.name) + "-tool.csv")).string();
        Result<ReplacementFile> windowOutput = ReplacementFile::create(windowFile);
        Result<ReplacementFile> toolOutput = ReplacementFile::create(toolFile);
        ASSERT_TRUE(windowOutput && toolOutput);
        ASSERT_TRUE(writeGridAsCsv(list.window, kHeader, std::move(windowOutput.value())));
        ASSERT_TRUE(writeGridAsCsv(list.tool, kHeader, std::move(toolOutput.value())));
        EXPECT_EQ(readFile(toolFile), readFile(windowFile));
    }
}

TEST(JsonRows, EscapeEveryStringSoTheDocumentParses) {
    const struct {
        const char* name;
        std::string text;
        std::string json;
    } cases[] = {
        {"plain ASCII", "C:\\Corvel\\a.wav", R"("C:\\Corvel\\a.wav")"},
        {"quote and controls", "a\"b\n\x01", R"("a\"b\n\u0001")"},
        {"valid UTF-8 kept", "gr\xc3\xbc\xc3\x9f", "\"gr\xc3\xbc\xc3\x9f\""},
        {"Latin-1 byte as a lone surrogate", "caf\xe9.wav", R"("caf\udce9.wav")"},
        {"cut sequence at the end", "x\xe2\x82", R"("x\udce2\udc82")"},
        {"overlong form", "\xc0\xaf", R"("\udcc0\udcaf")"},
        {"encoded surrogate", "\xed\xa0\x80", R"("\udced\udca0\udc80")"},
    };
    for (const auto& c : cases) {
        std::string json;
        cli::appendJsonString(json, c.text);
        EXPECT_EQ(json, c.json) << c.name;
    }
}

TEST(JsonRows, UnreadableFileHasNullCodecAndItsError) {
    FileRow row;
    row.path = "C:\\Corvel\\Stream Files\\locked.wav";
    row.codecText = "File not a valid WAV format";
    row.failures.push_back({13, "Permission denied"});
    std::string json;
    cli::appendJsonRow(json, row);
    EXPECT_EQ(json, R"({"codec":null,"format_tag":0,"file":"C:\\Corvel\\Stream Files\\locked.wav",)"
                    R"("sample_rate":0,"modified":null,"size":null,"error":"Permission denied"})");
}

} // namespace
} // namespace tambrel::testing
