// The tool's rows against the window's: the same scan into the tool's lists and into the
// in-memory grids through the window's sink must give the same CSV bytes.
#include "cli/cli_scan_sink.h"
#include "export/csv_writer.h"
#include "inventory/file_system.h"
#include "inventory/folder_scan.h"
#include "tests/inventory/scan/server_tree.h"
#include "tests/support/grid_load.h"
#include "tests/support/memory_grid.h"
#include "tests/support/recording_dialogs.h"

#include <gtest/gtest.h>

namespace tambrel::testing {
namespace {

constexpr std::string_view kHeader = "Codec, File Name, Sample Rate, Date Last Modified, File Size";

TEST(ListingStore, GivesTheWindowsCsvBytesForTheSameScan) {
    ServerTree server;
    server.makeEmptyServer();
    server.writeWave("Stream Files/plain.wav");
    server.write("Stream Files/notes, with comma.txt", "not a wave");
    server.write("Stream Files/empty.wav", "");
    server.write("Stream Files/latin-\xe9.wav", canonicalWave(6, 8000));
    // Windows refuses a quote in a name; there the comma's quoting stands alone.
    server.write("Stream Files/quote\".wav",
                 riff("RIFF", "WAVE", {chunk("fmt ", formatPayload(0xFFFE, 0x80000000u))}));
    server.write("localize/defaultconfiguration/DEU/gruss.WAV", canonicalWave(49, 8000));
    server.write("Localize/Prompts/ENU/Standard/hello.wav", canonicalWave(7, 11025));
    server.write("Localize/Prompts/ENU/Standard/Deep/more.wav", canonicalWave(2, 16000));

    RecordingDialogs dialogs;
    const FileSystemObject fileSystem;
    MemoryGrid windowGreetings = MemoryGrid::withFileRowColumns();
    MemoryGrid windowPrompts = MemoryGrid::withFileRowColumns();
    ASSERT_EQ(loadIntoGrids(fileSystem, windowGreetings, windowPrompts), LoadOutcome::Completed);
    cli::ListingStore toolGreetings(true);
    cli::ListingStore toolPrompts(true);
    cli::CliScanSink toolSink("tambrel-cli", toolGreetings, toolPrompts);
    ASSERT_EQ(runLoadSequence(fileSystem, toolSink), LoadOutcome::Completed);
    ASSERT_EQ(toolGreetings.size(), windowGreetings.Rows() - 1);
    ASSERT_EQ(toolPrompts.size(), windowPrompts.Rows() - 1);
    EXPECT_EQ(toolGreetings.summary().files, windowGreetings.Rows() - 1);

    TemporaryFolder out;
    const struct {
        const char* name;
        const CsvRowSource& window;
        const CsvRowSource& tool;
    } lists[] = {{"greetings", windowGreetings, toolGreetings},
                 {"prompts", windowPrompts, toolPrompts}};
    for (const auto& list : lists) {
        SCOPED_TRACE(list.name);
        const std::string windowFile = (out / (std::string(list.name) + "-window.csv")).string();
        const std::string toolFile = (out / (std::string(list.name) + "-tool.csv")).string();
        Result<ReplacementFile> windowOutput = ReplacementFile::create(windowFile);
        Result<ReplacementFile> toolOutput = ReplacementFile::create(toolFile);
        ASSERT_TRUE(windowOutput && toolOutput);
        ASSERT_TRUE(writeRowsAsCsv(list.window, kHeader, std::move(windowOutput.value())));
        ASSERT_TRUE(writeRowsAsCsv(list.tool, kHeader, std::move(toolOutput.value())));
        EXPECT_EQ(readFile(toolFile), readFile(windowFile));
    }
}

} // namespace
} // namespace tambrel::testing
