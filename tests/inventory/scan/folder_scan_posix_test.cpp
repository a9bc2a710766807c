// The scan over what only POSIX can set up: folders whose permissions refuse listing, and a
// root-less server whose relative paths stand on drive C: of the prefix (on Windows they stand on
// the current drive's root, which a test does not own).
#include "platform/testing/file_tricks.h"
#include "platform/testing/process_tricks.h"
#include "tests/inventory/scan/folder_scan_fixture.h"

#include <cstring>
#include <fstream>
#include <gtest/gtest.h>

namespace tambrel {
namespace {

using namespace tambrel::testing;

// A failure of the load as shown, with POSIX's words for `error`.
std::string loadFailure(int error, std::string_view concerned) {
    return kLoadLead + std::strerror(error) + ": " + std::string(concerned);
}

TEST_F(FolderScanTest, AnUnlistableSubfolderIsReportedAndItsSiblingsScanned) {
    if (testing::runningAsSuperuser())
        GTEST_SKIP() << "permissions do not bind the superuser";
    server.makeEmptyServer();
    server.writeWave("Localize/Prompts/Locked/Standard/hidden.wav");
    server.writeWave("Localize/Prompts/Open/Standard/prompt.wav");
    server.writeWave("localize/defaultconfiguration/Locked/hidden.wav");
    server.writeWave("localize/defaultconfiguration/Open/name.wav");
    const auto lockedPrompts = server.root() / "Localize/Prompts/Locked";
    const auto lockedGreetings = server.root() / "localize/defaultconfiguration/Locked";
    std::filesystem::permissions(lockedPrompts, std::filesystem::perms::none);
    std::filesystem::permissions(lockedGreetings, std::filesystem::perms::none);

    const LoadOutcome outcome = load();
    std::filesystem::permissions(lockedPrompts, std::filesystem::perms::owner_all);
    std::filesystem::permissions(lockedGreetings, std::filesystem::perms::owner_all);

    ASSERT_EQ(outcome, LoadOutcome::Completed);
    EXPECT_EQ(dialogs.texts(),
              (std::vector<std::string>{
                  loadFailure(EACCES, server.shown("localize/defaultconfiguration/Locked")),
                  loadFailure(EACCES, server.shown("Localize/Prompts/Locked"))}));
    EXPECT_EQ(fileNames(greetings), std::vector<std::string>{server.shown(
                                        "localize/defaultconfiguration/Open/name.wav")});
    EXPECT_EQ(fileNames(prompts),
              (std::vector<std::string>{server.shown("Localize/Prompts/Open/Standard/prompt.wav"),
                                        server.shown("support/RecordBeep.wav")}));
}

// Reading the server leaves the access times of its recordings and folders as they were, in
// every way of reading: here each entry's access time is not after its modification time, which
// the usual "relatime" mount stamps on any read.
TEST_F(FolderScanTest, TheScanLeavesAccessTimesAsTheyWere) {
    server.makeEmptyServer();
    const std::vector<std::string> files = {"Stream Files/greeting.wav",
                                            "localize/defaultconfiguration/ENU/name.wav",
                                            "Localize/Prompts/ENU/Standard/prompt.wav"};
    for (const std::string& file : files)
        server.writeWave(file);
    std::vector<std::filesystem::path> entries;
    for (const std::string& file : files)
        for (std::filesystem::path entry = server.root() / file; entry != server.root();
             entry = entry.parent_path())
            entries.push_back(entry);
    entries.push_back(server.root() / "support/RecordBeep.wav");
    constexpr std::int64_t kLongAgo = 978307200; // 2001-01-01

    for (const OverlapMode mode :
         {OverlapMode::Serial, OverlapMode::ThreadPool, OverlapMode::SystemQueue}) {
        SCOPED_TRACE(static_cast<int>(mode));
        for (const std::filesystem::path& entry : entries)
            ASSERT_TRUE(setEntryTimes(entry, kLongAgo)) << entry;
        ASSERT_EQ(loadIntoGrids(fileSystem, greetings, prompts, {}, ScanOptions::withMode(mode)),
                  LoadOutcome::Completed);
        EXPECT_EQ(fileNames(greetings).size(), 2u);
        for (const std::filesystem::path& entry : entries)
            EXPECT_EQ(statusFacts(entry).accessedSeconds, kLongAgo) << entry;
    }
}

// The kernel keeps an entry's access time only for its owner: anyone else's files are opened
// again without asking, in every way of reading. The tree is handed to an unprivileged user but
// for the recordings, which stay the superuser's, so that the refusal first meets the opens of
// the files themselves.
TEST_F(FolderScanTest, RecordingsOfAnotherOwnerAreReadInEveryWay) {
    if (!runningAsSuperuser())
        GTEST_SKIP() << "only the superuser can hand the tree to another user";
    constexpr std::uint32_t kNobody = 65534;
    server.makeEmptyServer();
    const std::vector<std::string> files = {"Stream Files/greeting.wav",
                                            "Localize/Prompts/ENU/Standard/prompt.wav"};
    for (const std::string& file : files)
        server.writeWave(file);
    ASSERT_TRUE(setOwner(server.prefix(), kNobody, kNobody, true));
    for (const auto& entry : std::filesystem::recursive_directory_iterator(server.prefix()))
        ASSERT_TRUE(setOwner(entry.path(), kNobody, kNobody, true));
    for (const std::string& file : {files[0], files[1], std::string("support/RecordBeep.wav")})
        ASSERT_TRUE(setOwner(server.root() / file, 0, 0, true));

    for (const OverlapMode mode :
         {OverlapMode::Serial, OverlapMode::ThreadPool, OverlapMode::SystemQueue}) {
        SCOPED_TRACE(static_cast<int>(mode));
        const std::optional<ChildOutcome> child = runInChildProcess([&] {
            if (!becomeUser(kNobody, kNobody))
                return std::string("cannot become uid 65534: ") + std::strerror(errno);
            (void)loadIntoGrids(fileSystem, greetings, prompts, {}, ScanOptions::withMode(mode));
            std::string seen;
            for (const std::string& text : dialogs.texts())
                seen += text + "\n";
            for (const MemoryGrid* grid : {&greetings, &prompts})
                for (std::int32_t row = 1; row < grid->Rows(); ++row)
                    seen += grid->text(row, "Codec") + " " + grid->text(row, "FileName") + "\n";
            return seen;
        });
        ASSERT_TRUE(child.has_value());
        EXPECT_EQ(child->output, "PCM 16 " + server.shown(files[0]) + "\nPCM 16 " +
                                     server.shown(files[1]) + "\nPCM 16 " +
                                     server.shown("support/RecordBeep.wav") + "\n");
    }
}

TEST_F(FolderScanTest, WithoutARootPathTheRelativePathsStandOnDriveC) {
    server.writeRegistry(ServerTree::kSupportedVersion, std::nullopt);
    std::filesystem::create_directories(server.prefix() / "drive_c/Stream Files");
    std::ofstream(server.prefix() / "drive_c/Stream Files/loose.wav") << canonicalWave(1, 8000);

    ASSERT_EQ(load(), LoadOutcome::Completed);
    EXPECT_EQ(fileNames(greetings), std::vector<std::string>{"\\Stream Files\\loose.wav"});
    EXPECT_EQ(dialogs.texts(),
              (std::vector<std::string>{loadFailure(ENOENT, "\\localize\\defaultconfiguration\\"),
                                        loadFailure(ENOENT, "\\Localize\\Prompts\\"),
                                        loadFailure(ENOENT, "\\support\\RecordBeep.wav")}));
}

} // namespace
} // namespace tambrel
