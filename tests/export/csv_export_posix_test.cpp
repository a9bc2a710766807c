// The export command's POSIX matters: the home folder as the fallback of the save dialog, the
// file mode kept on replacing, and the process's file-size limit.
#include "platform/testing/process_tricks.h"
#include "tests/export/export_command_fixture.h"
#include "tests/support/scoped_environment.h"

#include <filesystem>
#include <memory>
#include <optional>

namespace tambrel {
namespace {

TEST_F(ExportCommand, ProposesDriveCThroughThePrefixElseTheHomeFolder) {
    const std::string home = (folder / "home").string();
    std::optional<testing::ScopedEnvironment> homeVariable(std::in_place, "HOME", home);

    std::filesystem::create_directories(folder / "prefix" / "dosdevices" / "c:");
    const FileSystemObject withDriveC((folder / "prefix").string());
    const std::string driveC = (folder / "prefix" / "dosdevices" / "c:").string();

    runCsvExportCommand(CsvExportTarget::Greetings, grid, withDriveC);
    runCsvExportCommand(CsvExportTarget::Prompts, grid, withDriveC);
    run(CsvExportTarget::Greetings);
    run(CsvExportTarget::Prompts);
    homeVariable.reset();

    ASSERT_EQ(dialogs.saveRequests.size(), 4u);
    EXPECT_EQ(dialogs.saveRequests[0].proposedPath, driveC + "/GreetingsCodecData.csv");
    EXPECT_EQ(dialogs.saveRequests[0].initialFolder, driveC);
    EXPECT_EQ(dialogs.saveRequests[1].proposedPath, driveC + "/PromptCodecData.csv");
    EXPECT_EQ(dialogs.saveRequests[2].proposedPath, home + "/GreetingsCodecData.csv");
    EXPECT_EQ(dialogs.saveRequests[2].initialFolder, home);
    EXPECT_EQ(dialogs.saveRequests[3].proposedPath, home + "/PromptCodecData.csv");
}

TEST_F(ExportCommand, ExistingFileAnsweredYesIsReplacedKeepingItsMode) {
    addRows(1);
    const auto path = choose("old.csv");
    folder.write("old.csv", kOldBytes);
    std::filesystem::permissions(path, std::filesystem::perms(0640));
    dialogs.answers = {MessageAnswer::Yes};
    run();

    EXPECT_EQ(dialogs.texts(),
              (std::vector<std::string>{"Are you sure you want to over write this file?",
                                        "Export complete"}));
    EXPECT_EQ(readFile(path), std::string(kHeaderLine) +
                                  "G.711 mu-law,C:\\Corvel\\Stream Files\\0.wav, 8000,"
                                  "12/31/2025, 12044\r\n");
    EXPECT_EQ(std::filesystem::status(path).permissions() & std::filesystem::perms::mask,
              std::filesystem::perms(0640));
    EXPECT_EQ(folderEntries(), std::vector<std::string>{"old.csv"});
}

TEST_F(ExportCommand, FullDiskLeavesTheOldFileAndReportsOnce) {
    addRows(3000); // about 200 KB
    const auto path = choose("old.csv");
    folder.write("old.csv", kOldBytes);
    dialogs.answers = {MessageAnswer::Yes};
    {
        // A soft limit for this one export. SIGXFSZ keeps its default action, which ends the
        // process: the export itself must turn the limit into a reported failure.
        const std::shared_ptr<void> limit = testing::limitFileSize(64 * 1024);
        ASSERT_TRUE(limit);
        run();
    }
    expectFailure("Error in mnuGreetingsToCSV:File too large", {"old.csv"});
    EXPECT_EQ(readFile(path), kOldBytes);
}

} // namespace
} // namespace tambrel
