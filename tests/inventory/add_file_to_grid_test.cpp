#include "inventory/describe_file.h"
#include "platform/files/file_reads.h"
#include "platform/testing/file_tricks.h"
#include "platform/text/short_date.h"
#include "tests/inventory/wav_fixtures.h"
#include "tests/support/memory_grid.h"
#include "tests/support/recording_dialogs.h"
#include "tests/support/temporary_folder.h"
#include "ui/grid_scan_sink.h"

#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace tambrel {
namespace {

namespace fs = std::filesystem;
using testing::canonicalWave;

// The file read into its facts, then presented as the window presents a scanned file.
void addFile(const FileEntry& file, bool greetingsFlag, Grid& gridGreetings, Grid& gridPrompts) {
    AddFileToGrid(describeFile(file, greetingsFlag ? FileList::Greetings : FileList::Prompts),
                  gridGreetings, gridPrompts);
}

struct Grids {
    MemoryGrid greetings = MemoryGrid::withFileRowColumns();
    MemoryGrid prompts = MemoryGrid::withFileRowColumns();
};

struct RowCase {
    const char* name;
    std::string bytes;
    std::string codec;
    std::string sampleRate;
};

TEST(AddFileToGrid, WritesTheFiveCellsOfTheFileRow) {
    testing::TemporaryFolder folder;
    const std::string lateRiff =
        testing::riff("RIFF", "WAVE",
                      {testing::chunk("LIST", "INFOISFT"),
                       testing::chunk("fmt ", testing::formatPayload(0x31, 8000))});
    const RowCase cases[] = {
        {"CanonicalPcm", canonicalWave(1, 8000), "PCM 16", " 8000"},
        {"Gsm", canonicalWave(0x31, 8000), "Microsoft GSM 6.10", " 8000"},
        {"ListFirst", lateRiff, "Microsoft GSM 6.10", " 8000"},
        {"UnlistedTag", canonicalWave(0xFFFE, 16000), "Unknown Codec=-2", " 16000"},
        {"NegativeRate", canonicalWave(7, 0xFFFFFFF0u), "Microsoft MuLaw", "-16"},
        {"TextFile", "notes about greetings\n", "File not a valid WAV format", " 0"},
        {"EmptyFile", "", "File not a valid WAV format", " 0"},
        {"Avi", testing::riff("RIFF", "AVI ", {testing::chunk("LIST", "hdrl")}),
         "File not a valid WAV format", " 0"},
        {"TwentyTwoBytes", canonicalWave(1, 8000).substr(0, 22), "PCM 16", " 0"},
        {"OnlyTheTag", "RIFF", "Unknown Codec= 0", " 0"},
    };
    for (const RowCase& row : cases) {
        SCOPED_TRACE(row.name);
        testing::RecordingDialogs dialogs;
        Grids grids;
        const fs::path host = folder.write(std::string(row.name) + ".wav", row.bytes);
        testing::setModificationTime(host, 1709640000);
        const FileEntry file{"C:\\Corvel\\Stream Files\\" + std::string(row.name) + ".wav",
                             host.string()};

        addFile(file, true, grids.greetings, grids.prompts);

        EXPECT_TRUE(dialogs.messages.empty());
        ASSERT_EQ(grids.greetings.Rows(), 2);
        EXPECT_EQ(grids.prompts.Rows(), 1);
        EXPECT_EQ(grids.greetings.Cell(1, 0).value(), row.codec); // the AddItem text
        EXPECT_EQ(grids.greetings.text(1, "Codec"), row.codec);
        EXPECT_EQ(grids.greetings.text(1, "FileName"), file.path);
        EXPECT_EQ(grids.greetings.text(1, "SampleRate"), row.sampleRate);
        EXPECT_EQ(grids.greetings.text(1, "FileSize"), " " + std::to_string(row.bytes.size()));
        EXPECT_EQ(grids.greetings.text(1, "LastModified"), shortDate(1709640000));
    }
}

TEST(AddFileToGrid, TheDateCellIsAShortDateWithAFourDigitYear) {
    testing::TemporaryFolder folder;
    testing::RecordingDialogs dialogs;
    Grids grids;
    const fs::path host = folder.write("greet.wav", canonicalWave(1, 8000));
    testing::setModificationTime(host, 1709640000);
    addFile({"C:\\greet.wav", host.string()}, true, grids.greetings, grids.prompts);
    const std::string date = grids.greetings.text(1, "LastModified");
    EXPECT_NE(date.find("2024"), std::string::npos) << date;
    EXPECT_EQ(date.find(':'), std::string::npos) << date;
}

TEST(AddFileToGrid, TheFlagChoosesTheGridAndRowsFollowTheCalls) {
    testing::TemporaryFolder folder;
    testing::RecordingDialogs dialogs;
    Grids grids;
    const fs::path a = folder.write("a.wav", canonicalWave(1, 8000));
    const fs::path b = folder.write("b.wav", canonicalWave(6, 8000));
    const FileEntry first{"C:\\p\\a.wav", a.string()};
    const FileEntry second{"C:\\p\\b.wav", b.string()};

    addFile(first, false, grids.greetings, grids.prompts);
    addFile(second, false, grids.greetings, grids.prompts);
    addFile(first, false, grids.greetings, grids.prompts);
    EXPECT_EQ(grids.greetings.Rows(), 1);
    ASSERT_EQ(grids.prompts.Rows(), 4);
    EXPECT_EQ(grids.prompts.text(1, "FileName"), "C:\\p\\a.wav");
    EXPECT_EQ(grids.prompts.text(2, "Codec"), "Microsoft ALaw");
    for (const char* key : {"Codec", "FileName", "SampleRate", "LastModified", "FileSize"})
        EXPECT_EQ(grids.prompts.text(3, key), grids.prompts.text(1, key)) << key;

    addFile(second, true, grids.greetings, grids.prompts);
    EXPECT_EQ(grids.greetings.Rows(), 2);
    EXPECT_EQ(grids.prompts.Rows(), 4);
    EXPECT_TRUE(dialogs.messages.empty());
}

// A file listed but not readable when its turn comes: its row says so and the system's own
// words for the reason are shown once ("No such file or directory" on Linux).
TEST(AddFileToGrid, AFileThatCannotBeOpenedIsReportedOnceAndStillListed) {
    const struct {
        const char* name;
        std::function<std::shared_ptr<void>(const fs::path&)> prepare; // nullptr: skip the row
        bool statusKnown; // size and date still come from the folder's record of the file
    } cases[] = {
        {"deleted before its turn came",
         [](const fs::path& host) {
             fs::remove(host);
             return std::make_shared<int>(0);
         },
         false},
        {"held by another program that shares nothing",
         [](const fs::path& host) { return testing::holdWithoutSharing(host); }, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        testing::TemporaryFolder folder;
        testing::RecordingDialogs dialogs;
        Grids grids;
        const fs::path host = folder.write("unreadable.wav", canonicalWave(1, 8000));
        const FileEntry file{"C:\\Corvel\\Stream Files\\unreadable.wav", host.string()};
        const std::shared_ptr<void> hold = c.prepare(host);
        if (!hold)
            continue; // no such locks on this system

        addFile(file, true, grids.greetings, grids.prompts);

        ASSERT_EQ(dialogs.messages.size(), 1u);
        const Result<platform::ReadOnlyFile> unreadable =
            platform::ReadOnlyFile::open(host.string());
        ASSERT_FALSE(unreadable.ok());
        EXPECT_EQ(dialogs.messages[0].text,
                  "Error in AddFileToGrid: " + unreadable.failure().description + ": " + file.path);
        EXPECT_EQ(dialogs.messages[0].title, "Tambrel");
        EXPECT_EQ(dialogs.messages[0].buttons, MessageButtons::Ok);
        ASSERT_EQ(grids.greetings.Rows(), 2);
        EXPECT_EQ(grids.greetings.text(1, "Codec"), "File not a valid WAV format");
        EXPECT_EQ(grids.greetings.text(1, "FileName"), file.path);
        EXPECT_EQ(grids.greetings.text(1, "SampleRate"), " 0");
        EXPECT_EQ(grids.greetings.text(1, "FileSize").empty(), !c.statusKnown);
        EXPECT_EQ(grids.greetings.text(1, "LastModified").empty(), !c.statusKnown);
    }
}

// A grid without the keyed columns: every cell write fails and is reported, one by one.
TEST(AddFileToGrid, EachFailingCellIsReportedAndTheNextStillWritten) {
    testing::TemporaryFolder folder;
    testing::RecordingDialogs dialogs;
    MemoryGrid bare({"", "FileName"});
    MemoryGrid prompts = MemoryGrid::withFileRowColumns();
    const fs::path host = folder.write("a.wav", canonicalWave(1, 8000));

    addFile({"C:\\a.wav", host.string()}, true, bare, prompts);

    EXPECT_EQ(bare.Rows(), 2);
    EXPECT_EQ(bare.text(1, "FileName"), "C:\\a.wav");
    ASSERT_EQ(dialogs.messages.size(), 4u);
    for (const auto& message : dialogs.messages)
        EXPECT_EQ(message.text, "Error in AddFileToGrid: Subscript out of range: C:\\a.wav");
}

} // namespace
} // namespace tambrel
