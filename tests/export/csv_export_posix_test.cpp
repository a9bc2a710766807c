// The export command's POSIX matters: the home folder as the fallback of the save dialog, the
// file mode kept on replacing, and the process's file-size limit.
#include "tests/export/export_command_fixture.h"

#include <cstdlib>
#include <sys/resource.h>
#include <sys/stat.h>

namespace tambrel {
namespace {

TEST_F(ExportCommand, ProposesDriveCThroughThePrefixElseTheHomeFolder) {
    const std::string home = (folder / "home").string();
    const char* savedHome = std::getenv("HOME");
    const std::string restoreHome = savedHome ? savedHome : "";
    ::setenv("HOME", home.c_str(), 1);

    std::filesystem::create_directories(folder / "prefix" / "dosdevices" / "c:");
    const FileSystemObject withDriveC((folder / "prefix").string());
    const std::string driveC = (folder / "prefix" / "dosdevices" / "c:").string();

    runCsvExportCommand(CsvExportTarget::Greetings, grid, withDriveC);
    runCsvExportCommand(CsvExportTarget::Prompts, grid, withDriveC);
    run(CsvExportTarget::Greetings);
    run(CsvExportTarget::Prompts);
    if (savedHome)
        ::setenv("HOME", restoreHome.c_str(), 1);
    else
        ::unsetenv("HOME");

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
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    dialogs.answers = {MessageAnswer::Yes};
    run();

    EXPECT_EQ(dialogs.texts(),
              (std::vector<std::string>{"Are you sure you want to over write this file?",
                                        "Export complete"}));
    EXPECT_EQ(readFile(path), std::string(kHeaderLine) +
                                  "G.711 mu-law,C:\\Corvel\\Stream Files\\0.wav, 8000,"
                                  "12/31/2025, 12044\r\n");
    struct stat info;
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    EXPECT_EQ(folderEntries(), std::vector<std::string>{"old.csv"});
}

// Soft file-size limit for one export, put back afterwards. SIGXFSZ keeps its default action,
// which ends the process: the export itself must turn the limit into a reported failure.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        rlimit limited = saved_;
        limited.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit() { ::setrlimit(RLIMIT_FSIZE, &saved_); }

private:
    rlimit saved_{};
};

TEST_F(ExportCommand, FullDiskLeavesTheOldFileAndReportsOnce) {
    addRows(3000); // about 200 KB
    const auto path = choose("old.csv");
    folder.write("old.csv", kOldBytes);
    dialogs.answers = {MessageAnswer::Yes};
    {
        FileSizeLimit limit(64 * 1024);
        run();
    }
    expectFailure("Error in mnuGreetingsToCSV:File too large", {"old.csv"});
    EXPECT_EQ(readFile(path), kOldBytes);
}

} // namespace
} // namespace tambrel
