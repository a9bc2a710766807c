// The file-system object over a folder named by the system's own path (a POSIX path is taken
// as it stands, a Windows path is the system's): listing, lookups, removal, extensions.
#include "inventory/file_system.h"
#include "inventory/server_folder_path.h"
#include "tests/support/temporary_folder.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace tambrel {
namespace {

namespace fs = std::filesystem;

// A folder of the test's own, with paths to it spelt as the program builds them.
class Place {
public:
    fs::path write(const std::string& relative, std::string_view bytes = "x") const {
        return folder.write(relative, bytes);
    }
    // "a/b" below the folder, with backslashes as the server's paths have them.
    std::string shown(std::string_view relative) const {
        std::string below(relative);
        std::replace(below.begin(), below.end(), '/', '\\');
        return folder.path().string() + "\\" + below;
    }

    testing::TemporaryFolder folder;
    FileSystemObject fileSystem{folder.path().string()};
};

TEST(FileSystemObject, ListsFilesAndFoldersInTheOrderTheSystemGivesThem) {
    Place place;
    const fs::path folder = place.write("Mixed/a.wav").parent_path();
    place.write("Mixed/B.WAV");
    place.write("Mixed/sub/inner.wav");

    Result<FolderEntry> entry = place.fileSystem.GetFolder(place.shown("Mixed\\"));
    ASSERT_TRUE(entry);
    Result<FolderListing> listing = place.fileSystem.List(entry.value());
    ASSERT_TRUE(listing);

    std::vector<std::string> expectedFiles, expectedFolders, files, folders;
    for (const fs::directory_entry& child : fs::directory_iterator(folder))
        (child.is_directory() ? expectedFolders : expectedFiles)
            .push_back(place.shown("Mixed\\" + child.path().filename().string()));
    for (const FileEntry& file : listing->files) {
        files.push_back(file.path);
        EXPECT_TRUE(fs::equivalent(fs::path(file.hostPath).parent_path(), folder)) << file.path;
    }
    for (const FolderEntry& sub : listing->subFolders)
        folders.push_back(sub.path);
    EXPECT_EQ(files, expectedFiles);
    EXPECT_EQ(folders, expectedFolders);
    EXPECT_EQ(files.size(), 2u);
}

TEST(FileSystemObject, MissingFoldersAndFilesFailAndLookupsIgnoreLetterCase) {
    Place place;
    const fs::path beepFile = place.write("Corvel/support/RecordBeep.wav");
    const FileSystemObject& fileSystem = place.fileSystem;

    Result<FolderEntry> missing = fileSystem.GetFolder(place.shown("Corvel/Stream Files/"));
    ASSERT_FALSE(missing);
    EXPECT_FALSE(missing.failure().description.empty());
    EXPECT_FALSE(fileSystem.GetFolder(place.shown("Corvel/support/RecordBeep.wav")));
    EXPECT_FALSE(
        fileSystem.List(FolderEntry{place.shown("gone"), (place.folder.path() / "gone").string()}));

    Result<FileEntry> beep = fileSystem.GetFile(place.shown("Corvel/support/recordbeep.WAV"));
    ASSERT_TRUE(beep);
    EXPECT_EQ(beep->path, place.shown("Corvel/support/recordbeep.WAV"));
    EXPECT_TRUE(fs::equivalent(beep->hostPath, beepFile));
    EXPECT_FALSE(fileSystem.GetFile(place.shown("Corvel/support/")));
    EXPECT_FALSE(fileSystem.GetFile(place.shown("Corvel/support/Beep.wav")));
}

TEST(FileSystemObject, DeletesWritableFilesButNotReadOnlyOnes) {
    Place place;
    const fs::path writable = place.write("out/PromptCodecData.csv");
    const fs::path readOnly = place.write("out/GreetingsCodecData.csv");
    fs::permissions(readOnly, fs::perms::owner_read | fs::perms::group_read);
    const FileSystemObject& fileSystem = place.fileSystem;

    EXPECT_TRUE(fileSystem.FileExists(place.shown("OUT/promptcodecdata.csv")));
    EXPECT_FALSE(fileSystem.FileExists(place.shown("out")));
    EXPECT_FALSE(fileSystem.FileExists(place.shown("out/none.csv")));

    EXPECT_TRUE(fileSystem.RemoveFile(place.shown("out/PromptCodecData.csv")));
    EXPECT_FALSE(fs::exists(writable));

    EXPECT_FALSE(fileSystem.RemoveFile(place.shown("out/GreetingsCodecData.csv")));
    EXPECT_TRUE(fs::exists(readOnly));
    EXPECT_FALSE(fileSystem.RemoveFile(place.shown("out/none.csv")));
    fs::permissions(readOnly, fs::perms::owner_all);
}

TEST(FileSystemObject, ExtensionIsTheTextAfterTheLastPeriodOfTheLastComponent) {
    const std::pair<const char*, const char*> cases[] = {
        {"C:\\a\\greet.wav", "wav"},     {"C:\\a\\greet.WAV", "WAV"},
        {"C:\\a\\greet.wav.bak", "bak"}, {"C:\\a\\greet.wave", "wave"},
        {"C:\\a.d\\greet", ""},          {"C:\\a\\greet.", ""},
        {"/srv/a.d/greet", ""},          {"", ""},
    };
    for (const auto& [path, extension] : cases)
        EXPECT_EQ(FileSystemObject::GetExtensionName(path), extension) << path;
}

} // namespace
} // namespace tambrel

namespace tambrel {
namespace {

// Where the scan looks below a root: the server's notation concatenated as it is, a POSIX root
// with POSIX separators and no doubled slash.
TEST(ServerFolderPath, FollowsTheRootsNotation) {
    const struct {
        std::string_view root;
        std::string_view belowRoot;
        std::string_view expected;
    } cases[] = {
        {"C:\\Corvel", "\\Stream Files\\", "C:\\Corvel\\Stream Files\\"},
        {"C:\\Corvel\\", "\\Stream Files\\", "C:\\Corvel\\\\Stream Files\\"},
        {"\\\\host\\share", "\\support\\RecordBeep.wav",
         "\\\\host\\share\\support\\RecordBeep.wav"},
        {"", "\\Localize\\Prompts\\", "\\Localize\\Prompts\\"},
        {"/srv/corvel", "\\Stream Files\\", "/srv/corvel/Stream Files/"},
        {"/srv/corvel/", "\\Localize\\Prompts\\", "/srv/corvel/Localize/Prompts/"},
        {"/srv/corvel//", "\\support\\RecordBeep.wav", "/srv/corvel/support/RecordBeep.wav"},
        {"/", "\\Stream Files\\", "/Stream Files/"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(serverFolderPath(c.root, c.belowRoot), c.expected) << c.root;
}

} // namespace
} // namespace tambrel
