// Where the save dialog starts: drive C: of the prefix when the user may write there, else the
// user's documents folder, with the same proposed name either way.
#include "export/save_location.h"
#include "platform/testing/file_tricks.h"
#include "platform/testing/process_tricks.h"
#include "tests/support/scoped_environment.h"
#include "tests/support/temporary_folder.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace tambrel {
namespace {

namespace fs = std::filesystem;
using testing::ScopedEnvironment;
using testing::TemporaryFolder;

constexpr std::uint32_t kStandardUser = 65534; // nobody

// The location as a user without privilege gets it: the superuser may write to any folder,
// so under root the question is asked in a child that has become an ordinary user.
SaveLocation locationForStandardUser(const FileSystemObject& fileSystem) {
    if (!testing::runningAsSuperuser())
        return proposedSaveLocation("c:\\GreetingsCodecData.csv", fileSystem);
    const std::optional<testing::ChildOutcome> child = testing::runInChildProcess([&] {
        if (!testing::becomeUser(kStandardUser, kStandardUser))
            return std::string();
        const SaveLocation location =
            proposedSaveLocation("c:\\GreetingsCodecData.csv", fileSystem);
        return location.proposedPath + '\n' + location.initialFolder;
    });
    if (!child)
        return {};
    const std::string& answer = child->output;
    const std::size_t newline = answer.find('\n');
    if (newline == std::string::npos)
        return {};
    return {answer.substr(0, newline), answer.substr(newline + 1)};
}

TEST(SaveLocation, StartsInDriveCWhenWritableElseInTheDocumentsFolder) {
    TemporaryFolder base;
    fs::permissions(base.path(), fs::perms(0755));
    const fs::path home = base / "home";
    const fs::path driveC = base / "prefix/drive_c";
    const std::string driveCLink = (base / "prefix/dosdevices/c:").string();
    const std::string greetings = "/GreetingsCodecData.csv";
    const struct {
        const char* name;
        std::optional<unsigned> driveCMode; // nullopt: the prefix has no drive C:
        const char* userDirs;               // user-dirs.dirs, or nullptr for none
        std::vector<std::string> folders;   // below home
        std::string expectedFolder;         // "C:" for drive C:, else below home
    } cases[] = {
        {"writable drive C:", 0777, nullptr, {"Documents"}, "C:"},
        {"read-only drive C:, XDG documents folder",
         0555,
         "# written by xdg-user-dirs\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\n"
         "XDG_DOCUMENTS_DIR=\"$HOME/Papiere\"\n",
         {"Documents", "Papiere"},
         "Papiere"},
        {"XDG folder named absolutely",
         0555,
         "XDG_DOCUMENTS_DIR=\"@HOME@/Files\"\n",
         {"Files"},
         "Files"},
        {"XDG folder missing, Documents present",
         0555,
         "XDG_DOCUMENTS_DIR=\"$HOME/Gone\"\n",
         {"Documents"},
         "Documents"},
        {"unquoted XDG value ignored",
         0555,
         "XDG_DOCUMENTS_DIR=$HOME/Files\n",
         {"Documents", "Files"},
         "Documents"},
        {"no documents folder at all", 0555, nullptr, {}, ""},
        {"no drive C: in the prefix", std::nullopt, nullptr, {"Documents"}, "Documents"},
    };
    ScopedEnvironment homeVariable("HOME", home.string());
    ScopedEnvironment configVariable("XDG_CONFIG_HOME", std::nullopt);
    for (const auto& row : cases) {
        SCOPED_TRACE(row.name);
        fs::remove_all(base / "prefix");
        fs::remove_all(home);
        fs::create_directories(home / ".config");
        fs::create_directories(base / "prefix/dosdevices");
        for (const std::string& folder : row.folders)
            fs::create_directories(home / folder);
        if (row.userDirs) {
            std::string text = row.userDirs;
            if (const std::size_t at = text.find("@HOME@"); at != std::string::npos)
                text.replace(at, 6, home.string());
            std::ofstream(home / ".config/user-dirs.dirs") << text;
        }
        if (row.driveCMode) {
            fs::create_directories(driveC);
            fs::create_directory_symlink("../drive_c", driveCLink);
            fs::permissions(driveC, fs::perms(*row.driveCMode));
        }
        const SaveLocation location =
            locationForStandardUser(FileSystemObject((base / "prefix").string()));
        const std::string folder = row.expectedFolder == "C:" ? driveC.string()
                                   : row.expectedFolder.empty()
                                       ? home.string()
                                       : (home / row.expectedFolder).string();
        EXPECT_EQ(location.initialFolder, folder);
        EXPECT_EQ(location.proposedPath, folder + greetings);
    }
}

} // namespace
} // namespace tambrel
