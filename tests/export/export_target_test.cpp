// Where an export may write: never into the server's folders however the chosen path leads
// there, never through a link another user planted in a shared folder, and still through the
// user's own links.
#include "export/csv_export.h"
#include "export/export_target.h"
#include "platform/testing/file_tricks.h"
#include "tests/inventory/scan/server_tree.h"
#include "tests/support/memory_grid.h"
#include "tests/support/recording_dialogs.h"
#include "tests/support/temporary_folder.h"

#include <filesystem>
#include <functional>
#include <gtest/gtest.h>

namespace tambrel {
namespace {

namespace fs = std::filesystem;
using testing::readFile;
using testing::RecordingDialogs;
using testing::ServerTree;
using testing::TemporaryFolder;

constexpr std::string_view kRecording = "server recording";
constexpr std::uint32_t kOtherUser = 65534; // nobody

std::vector<std::string> entriesOf(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// A server in a prefix, with one recording and the record beep, and a folder of the user's
// own beside it.
class ExportTarget : public ::testing::Test {
public:
    void SetUp() override {
        server.makeEmptyServer();
        server.write("Stream Files/greeting.wav", kRecording);
        // Recordings kept outside the root and linked in are the server's all the same.
        fs::create_directories(server.prefix() / "elsewhere/ENU");
        std::ofstream(server.prefix() / "elsewhere/ENU/prompt.wav") << kRecording;
        std::ofstream(server.prefix() / "elsewhere/linked.wav") << kRecording;
        fs::create_directory_symlink(server.prefix() / "elsewhere/ENU",
                                     server.root() / "Localize/Prompts/ENU");
        fs::create_symlink("../../../elsewhere/linked.wav",
                           server.root() / "Stream Files/linked.wav");
    }
    fs::path recording() const { return server.root() / "Stream Files/greeting.wav"; }
    fs::path link(std::string_view name, const fs::path& target) const {
        const fs::path path = own / name;
        fs::create_directories(path.parent_path());
        fs::create_symlink(target, path);
        return path;
    }
    // Every file and folder of the prefix, with the bytes of each file.
    std::map<std::string, std::string> serverContents() const {
        std::map<std::string, std::string> contents;
        for (const auto& entry : fs::recursive_directory_iterator(server.prefix()))
            contents[entry.path().string()] = entry.is_regular_file() ? readFile(entry.path()) : "";
        return contents;
    }
    void exportGreetings(const std::string& chosen) {
        dialogs.saveAnswer = chosen;
        dialogs.answers = {MessageAnswer::Yes};
        runCsvExportCommand(CsvExportTarget::Greetings, grid, FileSystemObject());
    }

    ServerTree server;
    TemporaryFolder own;
    RecordingDialogs dialogs;
    MemoryGrid grid = MemoryGrid::withFileRowColumns();
};

TEST_F(ExportTarget, PathsThatLeadIntoTheServerAreRefusedAndTheFilesKeepTheirBytes) {
    const struct {
        const char* name;
        std::function<std::string(ExportTarget&)> chosen;
        std::string resolvedBelowRoot; // relative to the root
    } cases[] = {
        {"the recording by its host path", [](ExportTarget& t) { return t.recording().string(); },
         "Stream Files/greeting.wav"},
        {"the recording in the server's notation",
         [](ExportTarget&) { return std::string("C:\\Corvel\\Stream Files\\greeting.wav"); },
         "Stream Files/greeting.wav"},
        {"the notation in other letter case",
         [](ExportTarget&) { return std::string("c:\\corvel\\STREAM FILES\\Greeting.WAV"); },
         "Stream Files/greeting.wav"},
        {"a link to the recording",
         [](ExportTarget& t) { return t.link("out.csv", t.recording()).string(); },
         "Stream Files/greeting.wav"},
        {"a chain of relative links",
         [](ExportTarget& t) {
             t.link("second.csv", fs::relative(t.recording(), t.own.path()));
             return t.link("first.csv", "second.csv").string();
         },
         "Stream Files/greeting.wav"},
        {"a new file through a linked folder",
         [](ExportTarget& t) {
             return (t.link("streams", t.server.root() / "Stream Files") / "new.csv").string();
         },
         "Stream Files/new.csv"},
        {"up out of a linked folder",
         [](ExportTarget& t) {
             return (t.link("streams", t.server.root() / "Stream Files") /
                     "../support/RecordBeep.wav")
                 .string();
         },
         "support/RecordBeep.wav"},
        {"a link to drive C: and down to the root",
         [](ExportTarget& t) {
             return (t.link("drive", t.server.prefix() / "dosdevices/c:") / "Corvel/x.csv")
                 .string();
         },
         "x.csv"},
        {"a dangling link into the root",
         [](ExportTarget& t) {
             return t.link("dangling.csv", t.server.root() / "support/new.csv").string();
         },
         "support/new.csv"},
        {"a prompt folder linked in from elsewhere",
         [](ExportTarget& t) { return (t.server.prefix() / "elsewhere/ENU/prompt.wav").string(); },
         "../../elsewhere/ENU/prompt.wav"},
        {"a recording linked in from elsewhere",
         [](ExportTarget& t) { return (t.server.prefix() / "elsewhere/linked.wav").string(); },
         "../../elsewhere/linked.wav"},
    };
    const auto before = serverContents();
    for (const auto& row : cases) {
        SCOPED_TRACE(row.name);
        dialogs.messages.clear();
        const std::string chosen = row.chosen(*this);
        exportGreetings(chosen);
        const std::string resolved =
            (server.root() / row.resolvedBelowRoot).lexically_normal().string();
        // The chosen path once; where it led only when a link took it elsewhere.
        const bool serverNotation = chosen.size() > 1 && chosen[1] == ':';
        const bool ledElsewhere =
            !serverNotation && fs::path(chosen).lexically_normal().string() != resolved;
        EXPECT_EQ(dialogs.texts(),
                  std::vector<std::string>{
                      "Error in mnuGreetingsToCSV:Inside the server's folders, never written to" +
                      (ledElsewhere ? " (" + resolved + ")" : std::string()) + ": " + chosen});
        EXPECT_EQ(serverContents(), before);
        fs::remove_all(own.path());
        fs::create_directory(own.path());
    }
}

TEST_F(ExportTarget, TheUsersOwnLinksLeadToTheFileTheyNameAndStayLinks) {
    const fs::path real = own.write("exports/real.csv", "old");
    const struct {
        const char* name;
        std::function<fs::path(ExportTarget&)> chosen;
    } cases[] = {
        {"a link to the file", [&](ExportTarget& t) { return t.link("link.csv", real); }},
        {"a chain of relative links",
         [&](ExportTarget& t) {
             t.link("second.csv", "exports/real.csv");
             return t.link("first.csv", "second.csv");
         }},
        {"a linked folder",
         [&](ExportTarget& t) { return t.link("folder", own / "exports") / "real.csv"; }},
        {"a root spelled alike but another folder",
         [&](ExportTarget& t) {
             const fs::path beside = t.server.root().string() + "2/out.csv";
             fs::create_directories(beside.parent_path());
             std::filesystem::copy_file(real, beside);
             return t.link("beside.csv", beside);
         }},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.name);
        dialogs.messages.clear();
        const fs::path chosen = row.chosen(*this);
        const fs::path target = fs::canonical(chosen);
        exportGreetings(chosen.string());
        EXPECT_EQ(dialogs.texts().back(), "Export complete");
        EXPECT_EQ(readFile(target).substr(0, 5), "Codec");
        EXPECT_EQ(fs::is_symlink(chosen), chosen.filename() != "real.csv");
        for (const std::string& name : entriesOf(target.parent_path()))
            EXPECT_EQ(name.find(".tambrel-export-"), std::string::npos) << name;
    }
}

// The rule the kernel applies in /tmp: a link there is followed only when its owner is the
// user or the folder's owner.
TEST(SharedFolderLinks, OnlyLinksOfTheUserOrTheFolderOwnerAreFollowed) {
    TemporaryFolder folder;
    const fs::path victim = folder.write("victim.csv", "the user's own file");
    const std::uint32_t user = testing::effectiveUser();
    if (!testing::setOwner(victim, user, testing::effectiveGroup(), true) || user == kOtherUser)
        GTEST_SKIP();
    const struct {
        const char* name;
        unsigned folderMode;
        std::uint32_t folderOwner;
        std::uint32_t linkOwner;
        bool followed;
    } cases[] = {
        {"another user's link in a sticky shared folder", 01777, user, kOtherUser, false},
        {"the user's own link there", 01777, user, user, true},
        {"the folder owner's link there", 01777, kOtherUser, kOtherUser, true},
        {"another user's link, folder not sticky", 0777, user, kOtherUser, true},
        {"another user's link, sticky but not world-writable", 01775, user, kOtherUser, true},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.name);
        const fs::path shared = folder / "shared";
        fs::create_directory(shared);
        const fs::path link = shared / "planted.csv";
        fs::create_symlink(victim, link);
        if (!testing::setOwner(link, row.linkOwner, std::nullopt, true) ||
            !testing::setOwner(shared, row.folderOwner, std::nullopt, false))
            GTEST_SKIP() << "changing owners needs privilege";
        fs::permissions(shared, fs::perms(row.folderMode));

        // Reached directly, and through a link of the user's own elsewhere.
        const fs::path indirect = folder / "mine.csv";
        fs::create_symlink(link, indirect);
        for (const fs::path& chosen : {link, indirect}) {
            Result<ReplacementFile> file = openExportTarget(chosen.string(), ProtectedRoots());
            ASSERT_EQ(file.ok(), row.followed);
            if (row.followed) {
                ASSERT_TRUE(file->write("written"));
                ASSERT_TRUE(file->commit());
                EXPECT_EQ(readFile(victim), "written");
            } else {
                EXPECT_EQ(file.failure().code, EACCES);
                EXPECT_NE(file.failure().description.find(link.string()), std::string::npos);
                EXPECT_EQ(readFile(victim), "the user's own file");
            }
            EXPECT_TRUE(fs::is_symlink(link));
        }
        fs::remove(indirect);
        fs::remove_all(shared);
        std::ofstream(victim, std::ios::trunc) << "the user's own file";
    }
}

// The folder is held from the check to the rename: swapping it for a link into the server
// after the check changes nothing of the server.
TEST_F(ExportTarget, AFolderSwappedAfterTheCheckDoesNotRedirectTheWrite) {
    const fs::path exports = own / "exports";
    fs::create_directory(exports);
    ProtectedRoots roots;
    roots.add(server.root().string());
    Result<ExportPath> checked = checkExportTarget((exports / "greeting.wav").string(), roots);
    ASSERT_TRUE(checked);

    fs::rename(exports, own / "moved");
    fs::create_directory_symlink(server.root() / "Stream Files", exports);
    Result<ReplacementFile> file = ReplacementFile::create(std::move(checked.value()));
    ASSERT_TRUE(file);
    ASSERT_TRUE(file->write("export"));
    ASSERT_TRUE(file->commit());

    EXPECT_EQ(readFile(recording()), kRecording);
    EXPECT_EQ(entriesOf(server.root() / "Stream Files"),
              (std::vector<std::string>{"greeting.wav", "linked.wav"}));
    EXPECT_EQ(readFile(own / "moved/greeting.wav"), "export");
}

} // namespace
} // namespace tambrel
