// The scan over what only POSIX can set up: folders whose permissions refuse listing, and a
// root-less server whose relative paths stand on drive C: of the prefix (on Windows they stand on
// the current drive's root, which a test does not own).
#include "platform/testing/file_tricks.h"
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
