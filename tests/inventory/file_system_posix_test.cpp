// The file-system object through a Wine prefix: drive letters through dosdevices, case-blind
// components, POSIX roots as they stand, and the kinds only POSIX has (FIFOs, sockets, links).
#include "inventory/file_system.h"
#include "platform/testing/file_tricks.h"
#include "tests/support/temporary_folder.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace tambrel {
namespace {

namespace fs = std::filesystem;

// A Wine-style prefix: drive C: is the link dosdevices/c: -> ../drive_c, as Wine makes it.
class WinePrefix {
public:
    WinePrefix() {
        fs::create_directories(folder / "drive_c");
        fs::create_directories(folder / "dosdevices");
        fs::create_directory_symlink("../drive_c", folder / "dosdevices" / "c:");
    }
    // Host paths below the drive are the real ones, the drive's link already followed.
    std::filesystem::path drive() const { return fs::canonical(folder / "dosdevices" / "c:"); }
    fs::path write(const std::string& relative, std::string_view bytes = "x") const {
        return folder.write("drive_c/" + relative, bytes);
    }
    FileSystemObject fileSystem() const { return FileSystemObject(folder.path().string()); }

    testing::TemporaryFolder folder;
};

struct ResolutionCase {
    const char* name;
    std::string path;
    std::string expectedBelowDrive; // host path below drive C:, or "" for a failure
};

TEST(FileSystemObject, ResolvesDriveLetterPathsCaseBlindPerComponent) {
    WinePrefix prefix;
    prefix.write("Corvel/Stream Files/greet.wav");
    prefix.write("Corvel/localize/defaultconfiguration/en/hello.wav");
    prefix.write("Corvel/Ärger/Übung.wav");
    prefix.write("Corvel/Dup/a");
    prefix.write("Corvel/dup/b");
    const FileSystemObject fileSystem = prefix.fileSystem();

    const ResolutionCase cases[] = {
        {"Exact", "C:\\Corvel\\Stream Files\\", "/Corvel/Stream Files"},
        {"EveryComponentInOtherCase", "c:\\CORVEL\\stream files\\GREET.WAV",
         "/Corvel/Stream Files/greet.wav"},
        {"DoubledBackslash", "C:\\Corvel\\\\Stream Files\\", "/Corvel/Stream Files"},
        {"ForwardSlashes", "C:/Corvel/Stream Files/greet.wav", "/Corvel/Stream Files/greet.wav"},
        {"RootedWithoutDrive", "\\Corvel\\Localize\\DefaultConfiguration\\",
         "/Corvel/localize/defaultconfiguration"},
        {"EmptyRootThenRelativePart", "\\Stream Files\\", "/Stream Files"},
        {"EmptyPathIsTheDriveRoot", "", ""},
        {"RelativePath", "Corvel\\stream files", "/Corvel/Stream Files"},
        {"DotAndDotDotAreLexical", "C:\\Corvel\\.\\x\\..\\..\\..\\Corvel\\Stream Files",
         "/Corvel/Stream Files"},
        {"NonAsciiLetters", "C:\\corvel\\ärger\\übung.WAV", "/Corvel/Ärger/Übung.wav"},
        {"ExactSpellingWinsOverOtherCase", "C:\\Corvel\\dup\\b", "/Corvel/dup/b"},
        {"MissingTailKeptAsWritten", "C:\\corvel\\New Folder\\Export.CSV",
         "/Corvel/New Folder/Export.CSV"},
    };
    for (const ResolutionCase& row : cases) {
        SCOPED_TRACE(row.name);
        Result<std::string> host = fileSystem.resolveHostPath(row.path);
        ASSERT_TRUE(host) << host.failure().description;
        EXPECT_EQ(host.value(), prefix.drive().string() + row.expectedBelowDrive);
    }
}

TEST(FileSystemObject, PosixRootsAreUsedAsTheyStandAndMissingDrivesFail) {
    WinePrefix prefix;
    testing::TemporaryFolder posix;
    posix.write("Corvel/stream files/greet.wav", "x");
    const FileSystemObject fileSystem = prefix.fileSystem();

    const std::string root = (posix / "Corvel").string();
    Result<std::string> host = fileSystem.resolveHostPath(root + "\\Stream Files\\");
    ASSERT_TRUE(host);
    EXPECT_EQ(host.value(), root + "/stream files");
    EXPECT_EQ(fileSystem.resolveHostPath("/").value(), "/");

    Result<std::string> missingDrive = fileSystem.resolveHostPath("D:\\Corvel\\");
    ASSERT_FALSE(missingDrive);
    EXPECT_EQ(missingDrive.failure().code, ENOENT);
    EXPECT_FALSE(FileSystemObject("/nonexistent-prefix").resolveHostPath("C:\\x"));
    EXPECT_FALSE(fileSystem.resolveHostPath(std::string("C:\\a\0b", 6)));
}

// Wine links Z: to the file-system root; paths below it must not begin with "//".
TEST(FileSystemObject, ADriveLinkedToTheRootGivesPlainAbsolutePaths) {
    WinePrefix prefix;
    fs::create_directory_symlink("/", prefix.drive().parent_path() / "dosdevices" / "z:");
    const FileSystemObject fileSystem = prefix.fileSystem();
    EXPECT_EQ(fileSystem.resolveHostPath("Z:\\tmp").value(), "/tmp");
    EXPECT_EQ(fileSystem.resolveHostPath("Z:\\").value(), "/");
}

// Links that lead nowhere or round in a circle are files, as Windows lists them; FIFOs and
// sockets are neither.
TEST(FileSystemObject, ListsRegularFilesAndFoldersAndLinksToThemOnly) {
    WinePrefix prefix;
    const fs::path folder = prefix.write("Corvel/Mixed/a.wav").parent_path();
    fs::create_directory(folder / "sub");
    prefix.write("Corvel/Mixed/B.WAV");
    ASSERT_TRUE(testing::makeFifo(folder / "pipe.wav"));
    ASSERT_TRUE(testing::makeSocket(folder / "sock.wav"));
    fs::create_symlink("nowhere.wav", folder / "dangling.wav");
    fs::create_symlink("a.wav", folder / "linked.wav");
    fs::create_directory_symlink("sub", folder / "linkedsub");
    fs::create_symlink("loop.wav", folder / "loop.wav");

    const FileSystemObject fileSystem = prefix.fileSystem();
    Result<FolderEntry> entry = fileSystem.GetFolder("C:\\Corvel\\mixed\\");
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->path, "C:\\Corvel\\mixed\\");
    Result<FolderListing> listing = fileSystem.List(entry.value());
    ASSERT_TRUE(listing);

    std::vector<std::string> expectedFiles, expectedFolders, files, folders;
    for (const std::string& name : testing::namesInListingOrder(folder)) {
        if (name == "a.wav" || name == "B.WAV" || name == "linked.wav" || name == "dangling.wav" ||
            name == "loop.wav")
            expectedFiles.push_back("C:\\Corvel\\mixed\\" + name);
        if (name == "sub" || name == "linkedsub")
            expectedFolders.push_back("C:\\Corvel\\mixed\\" + name);
    }
    for (const FileEntry& file : listing->files) {
        files.push_back(file.path);
        EXPECT_EQ(fs::path(file.hostPath).parent_path(), fs::path(entry->hostPath));
    }
    for (const FolderEntry& sub : listing->subFolders)
        folders.push_back(sub.path);
    EXPECT_EQ(files, expectedFiles);
    EXPECT_EQ(folders, expectedFolders);

    Result<std::vector<FileEntry>> linkedFiles = fileSystem.Files(
        FolderEntry{"C:\\Corvel\\mixed\\linkedsub", (folder / "linkedsub").string()});
    ASSERT_TRUE(linkedFiles);
    EXPECT_TRUE(linkedFiles->empty());
}

TEST(FileSystemObject, ChildPathsUseTheSeparatorOfTheBuiltPath) {
    WinePrefix prefix;
    prefix.write("Corvel/Prompts/en/p.wav");
    testing::TemporaryFolder posix;
    posix.write("root/en/p.wav", "x");
    const FileSystemObject fileSystem = prefix.fileSystem();

    const std::pair<std::string, std::string> cases[] = {
        {"C:\\Corvel\\Prompts\\", "C:\\Corvel\\Prompts\\en\\p.wav"},
        {"C:\\Corvel\\Prompts", "C:\\Corvel\\Prompts\\en\\p.wav"},
        {(posix / "root").string(), (posix / "root").string() + "/en/p.wav"},
        {(posix / "root").string() + "\\", (posix / "root").string() + "\\en\\p.wav"},
    };
    for (const auto& [built, expected] : cases) {
        SCOPED_TRACE(built);
        Result<FolderEntry> top = fileSystem.GetFolder(built);
        ASSERT_TRUE(top);
        Result<std::vector<FolderEntry>> subs = fileSystem.SubFolders(top.value());
        ASSERT_TRUE(subs);
        ASSERT_EQ(subs->size(), 1u);
        Result<std::vector<FileEntry>> files = fileSystem.Files(subs->front());
        ASSERT_TRUE(files);
        ASSERT_EQ(files->size(), 1u);
        EXPECT_EQ(files->front().path, expected);
    }
}

} // namespace
} // namespace tambrel
