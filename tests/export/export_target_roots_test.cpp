// The check every export passes, on both platforms: the server's folders are refused however a
// path spells them; folders beside them are written as usual. Links and their rules are the
// POSIX suite's (export_target_test.cpp).
#include "export/export_target.h"
#include "tests/support/temporary_folder.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <gtest/gtest.h>

namespace tambrel {
namespace {

namespace fs = std::filesystem;
using testing::readFile;
using testing::TemporaryFolder;

std::string upperCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

TEST(ExportTargetRoots, TheServersFoldersAreRefusedHoweverThePathSpellsThem) {
    TemporaryFolder base;
    const fs::path root = base / "Corvel";
    const fs::path recording = base.write("Corvel/Stream Files/greeting.wav", "recording");
    fs::create_directories(base / "Corvel2");
    fs::create_directories(base / "own");
    ProtectedRoots roots;
    roots.add(root.string());
    const bool caseBlind = fs::exists(upperCase(root.string()));

    const struct {
        const char* name;
        std::string path;
        bool written;
    } cases[] = {
        {"a new file in the root", (root / "x.csv").string(), false},
        {"a recording", recording.string(), false},
        {"a new file in a server folder", (root / "Stream Files" / "x.csv").string(), false},
        {"down again from a folder beside", (base / "own" / ".." / "Corvel" / "x.csv").string(),
         false},
        // A path the system reads case-blind (Windows) reaches the root; elsewhere it names
        // a folder that is not there. Neither writes into the server.
        {"the root in other letter case", upperCase(root.string()) + "/x.csv", false},
        {"a folder spelled alike beside it", (base / "Corvel2" / "x.csv").string(), true},
        {"the user's own folder", (base / "own" / "x.csv").string(), true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Result<ReplacementFile> file = openExportTarget(c.path, roots);
        ASSERT_EQ(file.ok(), c.written) << (file ? "" : file.failure().description);
        if (file) {
            ASSERT_TRUE(file->write("export"));
            ASSERT_TRUE(file->commit());
            EXPECT_EQ(readFile(c.path), "export");
        } else if (caseBlind || std::string_view(c.name) != "the root in other letter case") {
            EXPECT_EQ(file.failure().code, EACCES);
            EXPECT_TRUE(file.failure().description.starts_with(
                "Inside the server's folders, never written to"))
                << file.failure().description;
        }
    }
    EXPECT_EQ(readFile(recording), "recording");
    std::vector<std::string> inRoot;
    for (const auto& entry : fs::recursive_directory_iterator(root))
        inRoot.push_back(entry.path().filename().string());
    std::sort(inRoot.begin(), inRoot.end());
    EXPECT_EQ(inRoot, (std::vector<std::string>{"Stream Files", "greeting.wav"}));
}

TEST(ExportTargetRoots, PathsAreComparedAsEitherPlatformSpellsThem) {
    const struct {
        const char* name;
        std::string_view path;
        std::string_view folder;
        bool inside;
    } cases[] = {
        {"the folder itself", "/srv/corvel", "/srv/corvel", true},
        {"a file below it", "/srv/corvel/Stream Files/a.wav", "/srv/corvel", true},
        {"a folder given with its separator", "/srv/corvel/a.wav", "/srv/corvel/", true},
        {"another letter case", "/SRV/Corvel/a.wav", "/srv/corvel", true},
        {"a name that only starts alike", "/srv/corvel2/a.wav", "/srv/corvel", false},
        {"a parent of the folder", "/srv", "/srv/corvel", false},
        {"the top holds everything", "/home/a.csv", "/", true},
        {"drive letters case-blind", "c:\\CORVEL\\x.csv", "C:\\Corvel", true},
        {"either separator", "C:/Corvel/x.csv", "C:\\Corvel\\", true},
        {"a UNC root", "\\\\Server\\Share\\Corvel\\x.csv", "\\\\server\\share", true},
        {"another share", "\\\\server\\share2\\x.csv", "\\\\server\\share", false},
        {"an empty folder protects nothing", "/srv/corvel", "", false},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(pathIsInFolder(row.path, row.folder), row.inside);
    }
}

} // namespace
} // namespace tambrel
