// Files and folders that change between the moment a listing names them and the moment the scan
// gets to them. Two seams: the call made once a folder is listed, before any of its files is
// read (serial and overlapped scans alike), and, in a serial scan, the progress call, which
// comes after the listing of the file about to be added.
#include "platform/testing/file_tricks.h"
#include "platform/text/short_date.h"
#include "tests/inventory/faults/scan_fixture.h"

#include <cerrno>
#include <cstring>

namespace tambrel {
namespace {

namespace fs = std::filesystem;
using namespace testing;

// What the row of a changed file holds for size and date.
enum class Stamp {
    Empty,    // nothing could be asked of the path: both cells stay empty
    FromPath, // size and date of whatever stands at the path after the change
};

struct ChangedFileCase {
    const char* name;
    std::function<void(const fs::path&)> change;
    std::string codec;
    std::string sampleRate;
    Stamp stamp;
    int reportedError; // 0: no message
};

void PrintTo(const ChangedFileCase& changed, std::ostream* out) {
    *out << changed.name;
}

void replaceByFolder(const fs::path& path) {
    fs::remove(path);
    fs::create_directory(path);
}

void replaceByFifo(const fs::path& path) {
    fs::remove(path);
    ASSERT_TRUE(makeFifo(path)) << std::strerror(errno);
}

const ChangedFileCase kChangedFileCases[] = {
    {"Deleted", [](const fs::path& path) { fs::remove(path); }, kNotWave, " 0", Stamp::Empty,
     ENOENT},
    {"ReplacedByADanglingLink",
     [](const fs::path& path) {
         fs::remove(path);
         fs::create_symlink("nowhere.wav", path);
     },
     kNotWave, " 0", Stamp::Empty, ENOENT},
    // Opening a folder for reading succeeds; the read is what fails.
    {"ReplacedByAFolder", replaceByFolder, kNotWave, " 0", Stamp::FromPath, EISDIR},
    // Opened without waiting for a writer, then refused by the positioned read.
    {"ReplacedByAFifo", replaceByFifo, kNotWave, " 0", Stamp::FromPath, ESPIPE},
    {"CutToNothing", [](const fs::path& path) { fs::resize_file(path, 0); }, kNotWave, " 0",
     Stamp::FromPath, 0},
    {"CutInsideTheFormatBlock", [](const fs::path& path) { fs::resize_file(path, 24); }, "PCM 16",
     " 0", Stamp::FromPath, 0},
    {"ReplacedByRenameWithAnotherWave",
     [](const fs::path& path) {
         const fs::path other = path.parent_path() / "other.tmp";
         std::ofstream(other, std::ios::binary) << canonicalWave(6, 16000);
         fs::rename(other, path);
     },
     "Microsoft ALaw", " 16000", Stamp::FromPath, 0},
};

class ChangedBeforeItsTurn : public ScanFixture,
                             public ::testing::WithParamInterface<ChangedFileCase> {};

TEST_P(ChangedBeforeItsTurn, IsReportedAtMostOnceAndStillGetsItsRow) {
    const ChangedFileCase& changed = GetParam();
    server.makeEmptyServer();
    server.writeWave("Stream Files/keep.wav");
    server.writeWave("Stream Files/victim.wav");
    const fs::path victim = at("Stream Files/victim.wav");

    // Both files are listed and neither has been read.
    ASSERT_EQ(load({}, changeWhenListed("Stream Files", [&] { changed.change(victim); })),
              LoadOutcome::Completed);

    std::vector<std::string> expectedMessages;
    if (changed.reportedError != 0)
        expectedMessages.push_back(
            addFailure(changed.reportedError, shownPath("Stream Files/victim.wav")));
    EXPECT_EQ(dialogs.texts(), expectedMessages);

    Row expected{changed.codec, shownPath("Stream Files/victim.wav"), changed.sampleRate, "", ""};
    if (changed.stamp == Stamp::FromPath) {
        const StatusFacts facts = statusFacts(victim);
        ASSERT_GE(facts.size, 0);
        expected.lastModified = shortDate(static_cast<std::time_t>(facts.modifiedSeconds));
        expected.fileSize = " " + std::to_string(facts.size);
    }
    const std::vector<Row> rows = rowsOf(greetings);
    ASSERT_EQ(rows.size(), 2u);
    const auto victimRow = std::find_if(rows.begin(), rows.end(), [&](const Row& row) {
        return row.fileName == expected.fileName;
    });
    ASSERT_NE(victimRow, rows.end());
    EXPECT_EQ(*victimRow, expected);
    // The neighbour is untouched by the fault.
    const Row& keep = victimRow == rows.begin() ? rows[1] : rows[0];
    EXPECT_EQ(keep.fileName, shownPath("Stream Files/keep.wav"));
    EXPECT_EQ(keep.codec, "PCM 16");
    EXPECT_EQ(keep.fileSize, " " + std::to_string(canonicalWave(1, 8000).size()));
    EXPECT_EQ(fileNames(prompts), std::vector<std::string>{shownPath("support/RecordBeep.wav")});
}

INSTANTIATE_TEST_SUITE_P(Cases, ChangedBeforeItsTurn, ::testing::ValuesIn(kChangedFileCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ScanFixture, ARecordBeepDeletedAfterItsLookupIsReportedOnceAndListed) {
    server.makeEmptyServer();
    server.writeWave("Stream Files/greeting.wav");
    // The beep is the second file examined: looked up, counted, then handed on.
    ASSERT_EQ(
        load(changeAt(2, [&] { fs::remove(at("support/RecordBeep.wav")); }), ScanOptions::serial()),
        LoadOutcome::Completed);
    EXPECT_EQ(dialogs.texts(),
              std::vector<std::string>{addFailure(ENOENT, shownPath("support/RecordBeep.wav"))});
    const Row beep{kNotWave, shownPath("support/RecordBeep.wav"), " 0", "", ""};
    EXPECT_EQ(rowsOf(prompts), std::vector<Row>{beep});
}

// A folder that is removed or replaced after the scan has planned to visit it.
struct Plan {
    std::int64_t changeAtCount;
    std::function<void()> change;
    std::vector<std::string> messages;
    std::vector<std::string> greetings; // shown paths, in any order
    std::vector<std::string> prompts;
};

// The tree every case starts from, and the order its folders are visited in.
struct Layout {
    fs::path root;
    std::vector<std::string> streamFiles;    // in Stream Files
    std::vector<std::string> configurations; // below localize/defaultconfiguration
    std::vector<std::string> promptFolders;  // below Localize/Prompts
    std::vector<std::string> levelTwo;       // below the first prompt folder
};

struct ChangedFolderCase {
    const char* name;
    std::function<Plan(const Layout&)> plan;
};

// Files examined, in order: the two stream files (1, 2), one file in each of the two default
// configurations (3, 4), one in each of the two level-2 folders of each of the three prompt
// folders (5 to 10), the beep (11).
std::vector<std::string> allGreetings(const Layout& layout) {
    return {shownPath("Stream Files/g1.wav"), shownPath("Stream Files/g2.wav"),
            shownPath("localize/defaultconfiguration/" + layout.configurations[0] + "/n.wav"),
            shownPath("localize/defaultconfiguration/" + layout.configurations[1] + "/n.wav")};
}

const char* const kLevelTwoFolders[] = {"Standard", "Custom"};

std::string promptOf(const std::string& folder, const std::string& levelTwo) {
    return shownPath("Localize/Prompts/" + folder + "/" + levelTwo + "/p.wav");
}

std::vector<std::string> allPrompts(const Layout& layout) {
    std::vector<std::string> names;
    for (const std::string& folder : layout.promptFolders)
        for (const char* levelTwo : kLevelTwoFolders)
            names.push_back(promptOf(folder, levelTwo));
    names.push_back(shownPath("support/RecordBeep.wav"));
    return names;
}

std::vector<std::string> without(std::vector<std::string> names,
                                 const std::vector<std::string>& gone) {
    for (const std::string& name : gone)
        std::erase(names, name);
    return names;
}

std::vector<std::string> promptsOf(const std::string& folder) {
    return {promptOf(folder, "Standard"), promptOf(folder, "Custom")};
}

// The stream files, each reported once as it is added, in the order they were listed.
std::vector<std::string> streamFileFailures(const Layout& layout) {
    std::vector<std::string> messages;
    for (const std::string& name : layout.streamFiles)
        messages.push_back(addFailure(ENOENT, shownPath("Stream Files/" + name)));
    return messages;
}

// The three places after the stream files, each reported once by the load.
std::vector<std::string> laterPlaceFailures() {
    return {loadFailure(ENOENT, shownPath("localize/defaultconfiguration/")),
            loadFailure(ENOENT, shownPath("Localize/Prompts/")),
            loadFailure(ENOENT, shownPath("support/RecordBeep.wav"))};
}

const ChangedFolderCase kChangedFolderCases[] = {
    {"StreamFilesGoneWhileItsFilesWait",
     [](const Layout& layout) {
         return Plan{1, [root = layout.root] { fs::remove_all(root / "Stream Files"); },
                     streamFileFailures(layout), allGreetings(layout), allPrompts(layout)};
     }},
    {"DefaultConfigurationGoneBeforeItsTurn",
     [](const Layout& layout) {
         return Plan{
             1,
             [root = layout.root] { fs::remove_all(root / "localize/defaultconfiguration"); },
             {loadFailure(ENOENT, shownPath("localize/defaultconfiguration/"))},
             {shownPath("Stream Files/g1.wav"), shownPath("Stream Files/g2.wav")},
             allPrompts(layout)};
     }},
    {"ConfigurationGoneAfterItsParentWasListed",
     [](const Layout& layout) {
         const std::string second = layout.configurations[1];
         return Plan{3,
                     [root = layout.root, second] {
                         fs::remove_all(root / "localize/defaultconfiguration" / second);
                     },
                     {loadFailure(ENOENT, shownPath("localize/defaultconfiguration/" + second))},
                     without(allGreetings(layout),
                             {shownPath("localize/defaultconfiguration/" + second + "/n.wav")}),
                     allPrompts(layout)};
     }},
    {"PromptFolderGoneAfterLevelZeroWasListed",
     [](const Layout& layout) {
         const std::string third = layout.promptFolders[2];
         return Plan{
             5,
             [root = layout.root, third] { fs::remove_all(root / "Localize/Prompts" / third); },
             {loadFailure(ENOENT, shownPath("Localize/Prompts/" + third))},
             allGreetings(layout),
             without(allPrompts(layout), promptsOf(third))};
     }},
    {"PromptFolderReplacedByAFile",
     [](const Layout& layout) {
         const std::string third = layout.promptFolders[2];
         return Plan{5,
                     [root = layout.root, third] {
                         fs::remove_all(root / "Localize/Prompts" / third);
                         std::ofstream(root / "Localize/Prompts" / third) << "not a folder";
                     },
                     {loadFailure(ENOTDIR, shownPath("Localize/Prompts/" + third))},
                     allGreetings(layout),
                     without(allPrompts(layout), promptsOf(third))};
     }},
    // Listing never waits for a writer: the FIFO is refused as no folder.
    {"PromptFolderReplacedByAFifo",
     [](const Layout& layout) {
         const std::string third = layout.promptFolders[2];
         return Plan{5,
                     [root = layout.root, third] {
                         const fs::path folder = root / "Localize/Prompts" / third;
                         fs::remove_all(folder);
                         ASSERT_TRUE(makeFifo(folder));
                     },
                     {loadFailure(ENOTDIR, shownPath("Localize/Prompts/" + third))},
                     allGreetings(layout),
                     without(allPrompts(layout), promptsOf(third))};
     }},
    // Gone before its parent is listed, it is simply not there: nothing to report.
    {"LevelTwoFoldersGoneBeforeTheirParentWasListed",
     [](const Layout& layout) {
         const std::string third = layout.promptFolders[2];
         return Plan{5,
                     [root = layout.root, third] {
                         for (const char* levelTwo : kLevelTwoFolders)
                             fs::remove_all(root / "Localize/Prompts" / third / levelTwo);
                     },
                     {},
                     allGreetings(layout),
                     without(allPrompts(layout), promptsOf(third))};
     }},
    {"LevelTwoFolderGoneAfterItsParentWasListed",
     [](const Layout& layout) {
         const std::string first = layout.promptFolders[0];
         const std::string second = layout.levelTwo[1];
         return Plan{5,
                     [root = layout.root, first, second] {
                         fs::remove_all(root / "Localize/Prompts" / first / second);
                     },
                     {loadFailure(ENOENT, shownPath("Localize/Prompts/" + first + "/" + second))},
                     allGreetings(layout),
                     without(allPrompts(layout), {promptOf(first, second)})};
     }},
    {"EveryLaterPlaceGoneAtOnce",
     [](const Layout& layout) {
         return Plan{1,
                     [root = layout.root] {
                         for (const char* place : {"localize", "Localize", "support"})
                             fs::remove_all(root / place);
                     },
                     laterPlaceFailures(),
                     {shownPath("Stream Files/g1.wav"), shownPath("Stream Files/g2.wav")},
                     {}};
     }},
    {"ServerRootMovedAway",
     [](const Layout& layout) {
         return Plan{
             1,
             [root = layout.root] { fs::rename(root, root.parent_path() / "Corvel-moved"); },
             // The stream folder, listed and still open, moved with the root: its files are
             // read through it. Every later place is looked up by path and is gone.
             laterPlaceFailures(),
             {shownPath("Stream Files/g1.wav"), shownPath("Stream Files/g2.wav")},
             {}};
     }},
};

void PrintTo(const ChangedFolderCase& changed, std::ostream* out) {
    *out << changed.name;
}

class ChangedDuringTheScan : public ScanFixture,
                             public ::testing::WithParamInterface<ChangedFolderCase> {};

TEST_P(ChangedDuringTheScan, IsReportedOnceAndTheOtherFoldersAreStillListed) {
    server.makeEmptyServer();
    server.writeWave("Stream Files/g1.wav");
    server.writeWave("Stream Files/g2.wav");
    for (const char* configuration : {"ENU", "DEU"})
        server.writeWave(std::string("localize/defaultconfiguration/") + configuration + "/n.wav");
    for (const char* folder : {"A", "B", "C"})
        for (const char* levelTwo : kLevelTwoFolders)
            server.writeWave(std::string("Localize/Prompts/") + folder + "/" + levelTwo + "/p.wav");
    Layout layout{server.root(),
                  directoryOrder(at("Stream Files")),
                  directoryOrder(at("localize/defaultconfiguration")),
                  directoryOrder(at("Localize/Prompts")),
                  {}};
    layout.levelTwo = directoryOrder(at("Localize/Prompts/" + layout.promptFolders[0]));
    const Plan plan = GetParam().plan(layout);

    bool changed = false;
    ASSERT_EQ(load(changeAt(plan.changeAtCount,
                            [&] {
                                plan.change();
                                changed = true;
                            }),
                   ScanOptions::serial()),
              LoadOutcome::Completed);
    ASSERT_TRUE(changed) << "the scan never reached the count the change waits for";
    EXPECT_EQ(dialogs.texts(), plan.messages);
    EXPECT_EQ(sorted(fileNames(greetings)), sorted(plan.greetings));
    EXPECT_EQ(sorted(fileNames(prompts)), sorted(plan.prompts));
}

INSTANTIATE_TEST_SUITE_P(Cases, ChangedDuringTheScan, ::testing::ValuesIn(kChangedFolderCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace tambrel
