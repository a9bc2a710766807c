#include "tests/inventory/scan/folder_scan_fixture.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <set>

namespace tambrel {
namespace {

using namespace tambrel::testing;

enum class Listed { InGreetings, InPrompts, Nowhere };

struct PlacedFile {
    const char* name;
    const char* relative; // below the root, as on disk
    Listed listed;
};

// Every level of every group, with one file each; the names run against the order a sort
// would give, so that the order checks below see the scan's order and nothing else.
const PlacedFile kDepthCases[] = {
    {"StreamFilesTakesItsOwnFiles", "Stream Files/greeting.wav", Listed::InGreetings},
    {"StreamFilesTakesTextFiles", "Stream Files/notes.txt", Listed::InGreetings},
    {"StreamFilesSubfoldersAreNotEntered", "Stream Files/Archive/old.wav", Listed::Nowhere},
    {"DefaultConfigurationOwnFilesAreSkipped", "localize/defaultconfiguration/top.wav",
     Listed::Nowhere},
    {"DefaultConfigurationSubfolderFiles", "localize/defaultconfiguration/ENU/name.wav",
     Listed::InGreetings},
    {"DefaultConfigurationDeeperIsSkipped", "localize/defaultconfiguration/ENU/Deeper/deep.wav",
     Listed::Nowhere},
    {"PromptsLevelZeroIsSkipped", "Localize/Prompts/level0.wav", Listed::Nowhere},
    {"PromptsLevelOneIsSkipped", "Localize/Prompts/L1/level1.wav", Listed::Nowhere},
    {"PromptsLevelTwo", "Localize/Prompts/L1/L2/z.wav", Listed::InPrompts},
    {"PromptsLevelThree", "Localize/Prompts/L1/L2/L3/a.wav", Listed::InPrompts},
    {"PromptsLevelFourIsSkipped", "Localize/Prompts/L1/L2/L3/L4/level4.wav", Listed::Nowhere},
    {"RecordBeep", "support/RecordBeep.wav", Listed::InPrompts},
    {"OtherSupportFilesAreSkipped", "support/other.wav", Listed::Nowhere},
};

TEST_F(FolderScanTest, EachGroupTakesExactlyItsLevels) {
    for (const PlacedFile& file : kDepthCases)
        server.writeWave(file.relative);

    ASSERT_EQ(load(), LoadOutcome::Completed);
    EXPECT_TRUE(dialogs.messages.empty()) << dialogs.texts().front();

    const std::vector<std::string> greetingNames = fileNames(greetings);
    const std::vector<std::string> promptNames = fileNames(prompts);
    const std::set<std::string> greetingSet(greetingNames.begin(), greetingNames.end());
    const std::set<std::string> promptSet(promptNames.begin(), promptNames.end());
    EXPECT_EQ(greetingSet.size(), greetingNames.size()) << "a file was listed twice";
    EXPECT_EQ(promptSet.size(), promptNames.size()) << "a file was listed twice";
    for (const PlacedFile& file : kDepthCases) {
        SCOPED_TRACE(file.name);
        const std::string path = server.shown(file.relative);
        EXPECT_EQ(greetingSet.count(path), file.listed == Listed::InGreetings ? 1u : 0u);
        EXPECT_EQ(promptSet.count(path), file.listed == Listed::InPrompts ? 1u : 0u);
    }

    // Group order: the stream files before the default configuration; a level-2 folder's own
    // files before its subfolders'; the beep last.
    EXPECT_LT(
        positionOf(greetingNames, server.shown("Stream Files/notes.txt")),
        positionOf(greetingNames, server.shown("localize/defaultconfiguration/ENU/name.wav")));
    EXPECT_EQ(promptNames, (std::vector<std::string>{
                               server.shown("Localize/Prompts/L1/L2/z.wav"),
                               server.shown("Localize/Prompts/L1/L2/L3/a.wav"),
                               server.shown("support/RecordBeep.wav"),
                           }));
}

TEST_F(FolderScanTest, EachLevelTwoFolderListsItsOwnFilesThenItsSubfolders) {
    server.makeEmptyServer();
    for (const char* levelOne : {"ENU", "DEU"})
        for (const char* levelTwo : {"Standard", "Custom"}) {
            const std::string folder = std::string("Localize/Prompts/") + levelOne + "/" + levelTwo;
            server.writeWave(folder + "/own1.wav");
            server.writeWave(folder + "/own2.wav");
            server.writeWave(folder + "/Sub1/inner.wav");
            server.writeWave(folder + "/Sub2/inner.wav");
        }

    ASSERT_EQ(load(), LoadOutcome::Completed);
    std::vector<std::string> names = fileNames(prompts);
    ASSERT_EQ(names.size(), 4u * 4u + 1u);
    ASSERT_EQ(names.back(), server.shown("support/RecordBeep.wav"));
    names.pop_back();

    // Rows come in runs of four per level-2 folder: its two files, then one per subfolder.
    std::set<std::string> foldersSeen;
    for (std::size_t run = 0; run < names.size(); run += 4) {
        const std::string folder = names[run].substr(0, names[run].rfind('\\'));
        EXPECT_TRUE(foldersSeen.insert(folder).second) << folder << " came in two runs";
        const std::set<std::string> ownFiles = {names[run], names[run + 1]};
        EXPECT_EQ(ownFiles, (std::set<std::string>{folder + "\\own1.wav", folder + "\\own2.wav"}));
        const std::set<std::string> innerFiles = {names[run + 2], names[run + 3]};
        EXPECT_EQ(innerFiles, (std::set<std::string>{folder + "\\Sub1\\inner.wav",
                                                     folder + "\\Sub2\\inner.wav"}));
    }
}

// A large folder's files are put a part at a time while it is still being listed: every file
// still comes once, in the order the folder lists them, and a level-2 folder's own files still
// come before its subfolders', in every way of reading.
TEST_F(FolderScanTest, FoldersOfManyListingPartsGiveEachFileOnceInTheOrderListed) {
    server.makeEmptyServer();
    const std::string big = "Localize/Prompts/ENU/Big";
    for (int i = 0; i < 2500; ++i)
        server.writeWave("Stream Files/g" + std::to_string(i) + ".wav");
    for (int i = 0; i < 1100; ++i)
        server.writeWave(big + "/p" + std::to_string(i) + ".wav");
    for (int i = 0; i < 40; ++i)
        server.write(big + "/n" + std::to_string(i) + ".txt", "not a prompt");
    server.writeWave(big + "/Sub/inner.wav");

    auto listedFiles = [this](const std::string& relative, std::string_view extension) {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(server.root() / relative))
            if (entry.is_regular_file() && entry.path().extension() == extension)
                names.push_back(server.shown(relative + "/" + entry.path().filename().string()));
        return names;
    };
    const std::vector<std::string> expectedGreetings = listedFiles("Stream Files", ".wav");
    std::vector<std::string> expectedPrompts = listedFiles(big, ".wav");
    expectedPrompts.push_back(server.shown(big + "/Sub/inner.wav"));
    expectedPrompts.push_back(server.shown("support/RecordBeep.wav"));

    for (const OverlapMode mode :
         {OverlapMode::Serial, OverlapMode::ThreadPool, OverlapMode::SystemQueue}) {
        SCOPED_TRACE(static_cast<int>(mode));
        ASSERT_EQ(loadIntoGrids(fileSystem, greetings, prompts, {}, ScanOptions::withMode(mode)),
                  LoadOutcome::Completed);
        EXPECT_TRUE(dialogs.messages.empty());
        EXPECT_EQ(fileNames(greetings), expectedGreetings);
        EXPECT_EQ(fileNames(prompts), expectedPrompts);
    }
}

struct ExtensionCase {
    const char* name;
    const char* fileName;
    bool passes;
};

const ExtensionCase kExtensionCases[] = {
    {"LowerCase", "lower.wav", true},         {"UpperCase", "UPPER.WAV", true},
    {"MixedCase", "Mixed.Wav", true},         {"OnlyTheLastPeriodCounts", "take.bak.wav", true},
    {"NothingBeforeThePeriod", ".wav", true}, {"LongerExtension", "long.wave", false},
    {"BackupOfAWave", "copy.wav.bak", false}, {"NoPeriod", "wav", false},
    {"TextFile", "readme.txt", false},        {"TrailingPeriod", "ends.wav.", false},
};

// Whether `folder` holds an entry of exactly this name.
bool holdsName(const std::filesystem::path& folder, std::string_view name) {
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        if (entry.path().filename().string() == name)
            return true;
    return false;
}

TEST_F(FolderScanTest, ExtensionTestAppliesToDefaultConfigurationAndPromptsOnly) {
    server.makeEmptyServer();
    for (const ExtensionCase& file : kExtensionCases) {
        server.writeWave(std::string("Stream Files/") + file.fileName);
        server.writeWave(std::string("localize/defaultconfiguration/ENU/") + file.fileName);
        server.writeWave(std::string("Localize/Prompts/ENU/Standard/") + file.fileName);
        server.writeWave(std::string("Localize/Prompts/ENU/Standard/Sub/") + file.fileName);
    }
    // A folder whose name passes the test is still not a file.
    server.makeFolder("localize/defaultconfiguration/ENU/folder.wav");

    ASSERT_EQ(load(), LoadOutcome::Completed);
    const std::vector<std::string> greetingNames = fileNames(greetings);
    const std::vector<std::string> promptNames = fileNames(prompts);
    const std::set<std::string> greetingSet(greetingNames.begin(), greetingNames.end());
    const std::set<std::string> promptSet(promptNames.begin(), promptNames.end());
    for (const ExtensionCase& file : kExtensionCases) {
        SCOPED_TRACE(file.name);
        // Windows drops a trailing period from a name: such a file is no case there.
        if (!holdsName(server.root() / "Stream Files", file.fileName))
            continue;
        const unsigned expected = file.passes ? 1u : 0u;
        EXPECT_EQ(greetingSet.count(server.shown(std::string("Stream Files/") + file.fileName)),
                  1u);
        EXPECT_EQ(greetingSet.count(server.shown(std::string("localize/defaultconfiguration/ENU/") +
                                                 file.fileName)),
                  expected);
        EXPECT_EQ(promptSet.count(
                      server.shown(std::string("Localize/Prompts/ENU/Standard/") + file.fileName)),
                  expected);
        EXPECT_EQ(promptSet.count(server.shown(std::string("Localize/Prompts/ENU/Standard/Sub/") +
                                               file.fileName)),
                  expected);
    }
    EXPECT_EQ(greetingSet.count(server.shown("localize/defaultconfiguration/ENU/folder.wav")), 0u);
}

struct NoGreetingsCase {
    const char* name;
    bool streamFile;
    bool defaultConfigurationFile;
    bool warned;
};

class NoGreetingsWarning : public FolderScanTest,
                           public ::testing::WithParamInterface<NoGreetingsCase> {};

TEST_P(NoGreetingsWarning, ShownOnceOnlyWhenBothGroupsGaveNothing) {
    server.makeEmptyServer();
    server.writeWave("Localize/Prompts/ENU/Standard/prompt.wav");
    if (GetParam().streamFile)
        server.writeWave("Stream Files/greeting.wav");
    if (GetParam().defaultConfigurationFile)
        server.writeWave("localize/defaultconfiguration/ENU/name.wav");

    ASSERT_EQ(load(), LoadOutcome::Completed);
    EXPECT_EQ(dialogs.texts(), GetParam().warned ? std::vector<std::string>{kNoGreetings}
                                                 : std::vector<std::string>{});
    EXPECT_EQ(prompts.Rows(), 3);
}

INSTANTIATE_TEST_SUITE_P(Cases, NoGreetingsWarning,
                         ::testing::Values(NoGreetingsCase{"NeitherGroup", false, false, true},
                                           NoGreetingsCase{"OnlyStreamFiles", true, false, false},
                                           NoGreetingsCase{"OnlyDefaultConfiguration", false, true,
                                                           false},
                                           NoGreetingsCase{"BothGroups", true, true, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(FolderScanTest, EachMissingPlaceIsReportedOnceAndTheWarningFallsBetweenTheGroups) {
    ASSERT_EQ(load(), LoadOutcome::Completed);
    EXPECT_EQ(
        withoutSystemWords(dialogs.texts()),
        (std::vector<std::string>{loadFailure(server.shown("Stream Files/")),
                                  loadFailure(server.shown("localize/defaultconfiguration/")),
                                  kNoGreetings, loadFailure(server.shown("Localize/Prompts/")),
                                  loadFailure(server.shown("support/RecordBeep.wav"))}));
    EXPECT_EQ(greetings.Rows(), 1);
    EXPECT_EQ(prompts.Rows(), 1);
}

TEST_F(FolderScanTest, AMissingGroupLeavesTheOthersWhole) {
    server.writeWave("Stream Files/greeting.wav");
    server.writeWave("Localize/Prompts/ENU/Standard/prompt.wav");
    server.writeWave("support/RecordBeep.wav");

    ASSERT_EQ(load(), LoadOutcome::Completed);
    EXPECT_EQ(
        withoutSystemWords(dialogs.texts()),
        std::vector<std::string>{loadFailure(server.shown("localize/defaultconfiguration/"))});
    EXPECT_EQ(fileNames(greetings),
              std::vector<std::string>{server.shown("Stream Files/greeting.wav")});
    EXPECT_EQ(prompts.Rows(), 3);
}

// A folder removed after its parent was listed and before the scan opened it: it is reported in
// its place and its siblings are still scanned, in a serial scan as in an overlapped one, read
// by threads or through the system's queue.
TEST_F(FolderScanTest, AFolderRemovedAfterItsParentWasListedIsReportedAndTheScanGoesOn) {
    const std::pair<const char*, OverlapMode> modes[] = {
        {"serial", OverlapMode::Serial},
        {"thread pool", OverlapMode::ThreadPool},
        {"system queue", OverlapMode::SystemQueue}};
    for (const auto& [name, mode] : modes) {
        SCOPED_TRACE(name);
        const ScanOptions base = ScanOptions::withMode(mode);
        server.makeEmptyServer();
        server.writeWave("Localize/Prompts/ENU/Gone/prompt.wav");
        server.writeWave("Localize/Prompts/ENU/Kept/prompt.wav");
        server.writeWave("localize/defaultconfiguration/Gone/name.wav");
        server.writeWave("localize/defaultconfiguration/Kept/name.wav");
        ScanOptions options = base;
        options.folderListed = [this](std::string listed) {
            if (listed.ends_with('\\'))
                listed.pop_back();
            if (listed == server.shown("Localize/Prompts/ENU"))
                std::filesystem::remove_all(server.root() / "Localize/Prompts/ENU/Gone");
            if (listed == server.shown("localize/defaultconfiguration"))
                std::filesystem::remove_all(server.root() / "localize/defaultconfiguration/Gone");
        };
        dialogs.messages.clear();

        ASSERT_EQ(loadIntoGrids(fileSystem, greetings, prompts, {}, options),
                  LoadOutcome::Completed);
        EXPECT_EQ(withoutSystemWords(dialogs.texts()),
                  (std::vector<std::string>{
                      loadFailure(server.shown("localize/defaultconfiguration/Gone")),
                      loadFailure(server.shown("Localize/Prompts/ENU/Gone"))}));
        EXPECT_EQ(fileNames(greetings), std::vector<std::string>{server.shown(
                                            "localize/defaultconfiguration/Kept/name.wav")});
        EXPECT_EQ(fileNames(prompts),
                  (std::vector<std::string>{server.shown("Localize/Prompts/ENU/Kept/prompt.wav"),
                                            server.shown("support/RecordBeep.wav")}));
    }
}

struct VersionCase {
    const char* name;
    const char* versionData; // "" for no value
    LoadOutcome outcome;
    bool versionFailureReported;
};

class VersionGate : public FolderScanTest, public ::testing::WithParamInterface<VersionCase> {
protected:
    // The outcome of a load under the case's version, and the messages it showed.
    void expectOutcome() {
        const VersionCase& version = GetParam();
        server.writeRegistry(version.versionData, server.escapedRoot());
        ASSERT_EQ(load(), version.outcome);
        const std::vector<std::string> texts = dialogs.texts();
        if (version.outcome == LoadOutcome::Completed) {
            EXPECT_TRUE(texts.empty());
            return;
        }
        ASSERT_EQ(texts.size(), version.versionFailureReported ? 2u : 1u);
        if (version.versionFailureReported) {
            EXPECT_EQ(texts.front().rfind(kLoadLead, 0), 0u) << texts.front();
            // The key the numbers were read from is named after the description.
            const std::string key = ": HKEY_LOCAL_MACHINE\\Software\\Quillan";
            EXPECT_TRUE(texts.front().ends_with(key)) << texts.front();
        }
        EXPECT_EQ(texts.back(), kNotSupported);
    }
};

TEST_P(VersionGate, AtStartUp) {
    server.makeEmptyServer();
    server.writeWave("Stream Files/greeting.wav");
    expectOutcome();
    // Nothing is scanned past a refused version.
    EXPECT_EQ(greetings.Rows(), GetParam().outcome == LoadOutcome::Completed ? 2 : 1);
    EXPECT_EQ(prompts.Rows(), GetParam().outcome == LoadOutcome::Completed ? 2 : 1);
}

TEST_P(VersionGate, DuringAReload) {
    server.makeEmptyServer();
    server.writeWave("Stream Files/greeting.wav");
    ASSERT_EQ(load(), LoadOutcome::Completed);
    ASSERT_TRUE(dialogs.messages.empty());
    server.writeWave("Stream Files/second.wav");
    expectOutcome();
    // A refused reload stops before the grids are emptied.
    EXPECT_EQ(greetings.Rows(), GetParam().outcome == LoadOutcome::Completed ? 3 : 2);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, VersionGate,
    ::testing::Values(
        VersionCase{"MajorThree", "dword:00030000", LoadOutcome::Completed, false},
        VersionCase{"MajorFour", "dword:00040002", LoadOutcome::Completed, false},
        VersionCase{"MajorTwo", "dword:00020009", LoadOutcome::ServerNotSupported, false},
        VersionCase{"NoVersionValue", "", LoadOutcome::ServerNotSupported, false},
        VersionCase{"OverflowingMajor", "dword:9e990000", LoadOutcome::ServerNotSupported, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FolderScanTest, AReloadOfUnchangedFoldersGivesTheSameRows) {
    server.makeEmptyServer();
    for (const char* name : {"a.wav", "b.WAV", "notes.txt", "empty.wav"})
        server.write(std::string("Stream Files/") + name, std::string_view(name) == "empty.wav"
                                                              ? std::string()
                                                              : canonicalWave(6, 11025));
    server.writeWave("localize/defaultconfiguration/ENU/name.wav");
    server.writeWave("Localize/Prompts/ENU/Standard/one.wav");
    server.writeWave("Localize/Prompts/ENU/Standard/Sub/two.wav");

    ASSERT_EQ(load(), LoadOutcome::Completed);
    const auto firstGreetings = allCells(greetings);
    const auto firstPrompts = allCells(prompts);
    const std::size_t firstMessages = dialogs.messages.size();
    ASSERT_EQ(firstGreetings.size(), 5u);
    ASSERT_EQ(firstPrompts.size(), 3u);

    ASSERT_EQ(load(), LoadOutcome::Completed);
    EXPECT_EQ(allCells(greetings), firstGreetings);
    EXPECT_EQ(allCells(prompts), firstPrompts);
    EXPECT_EQ(dialogs.messages.size(), 2 * firstMessages);
}

TEST_F(FolderScanTest, ARootPathEndingInABackslashDoublesItBeforeTheRelativePath) {
    server.writeRegistry(ServerTree::kSupportedVersion, server.escapedRoot() + "\\\\");
    server.makeEmptyServer();
    server.writeWave("Stream Files/greeting.wav");
    server.writeWave("Localize/Prompts/ENU/Standard/prompt.wav");

    ASSERT_EQ(load(), LoadOutcome::Completed);
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(fileNames(greetings),
              std::vector<std::string>{server.shownRoot() + "\\\\Stream Files\\greeting.wav"});
    EXPECT_EQ(fileNames(prompts),
              (std::vector<std::string>{server.shownRoot() +
                                            "\\\\Localize\\Prompts\\ENU\\Standard\\prompt.wav",
                                        server.shownRoot() + "\\\\support\\RecordBeep.wav"}));
}

TEST_F(FolderScanTest, DefaultConfigurationIsFoundWhateverTheCaseOnDisk) {
    // One "Localize" folder holds both groups, as on a server installed on Windows.
    server.makeFolder("Stream Files");
    server.makeFolder("Localize/Prompts");
    server.writeWave("support/RecordBeep.wav");
    server.writeWave("Localize/DefaultConfiguration/ENU/name.wav");

    ASSERT_EQ(load(), LoadOutcome::Completed);
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(fileNames(greetings),
              std::vector<std::string>{server.shown("localize/defaultconfiguration/ENU/name.wav")});
}

TEST_F(FolderScanTest, ProgressIsToldEveryIntervalOfFilesExamined) {
    server.makeEmptyServer();
    for (int i = 0; i < 6; ++i)
        server.writeWave("Stream Files/g" + std::to_string(i) + ".wav");
    // Files the extension test turns away have been examined all the same.
    for (int i = 0; i < 3; ++i)
        server.writeWave("localize/defaultconfiguration/ENU/n" + std::to_string(i) + ".txt");

    std::vector<std::int64_t> counts;
    ScanProgress progress;
    progress.interval = 4;
    progress.filesExamined = [&counts](std::int64_t count) { counts.push_back(count); };
    ASSERT_EQ(load(progress), LoadOutcome::Completed);
    // 6 + 3 + the beep, and the total once more at the end
    EXPECT_EQ(counts, (std::vector<std::int64_t>{4, 8, 10}));
}

// Records the order of the grid calls the load makes; the rows themselves go to a MemoryGrid.
class CallLog {
public:
    void add(std::string entry) {
        if (entry.ends_with(".AddItem") && !entries.empty() && entries.back() == entry)
            return;
        entries.push_back(std::move(entry));
    }
    std::vector<std::string> entries;
};

class LoggingGrid final : public WindowGrid {
public:
    LoggingGrid(std::string name, CallLog& log) : name_(std::move(name)), log_(log) {}
    std::int32_t Rows() const override { return grid_.Rows(); }
    Status SetRows(std::int32_t rows) override {
        log_.add(name_ + ".SetRows(" + std::to_string(rows) + ")");
        return grid_.SetRows(rows);
    }
    std::int32_t ColIndex(std::string_view key) const override { return grid_.ColIndex(key); }
    Result<std::string> Cell(std::int32_t row, std::int32_t column) const override {
        return grid_.Cell(row, column);
    }
    Status SetCell(std::int32_t row, std::int32_t column, std::string_view text) override {
        return grid_.SetCell(row, column, text);
    }
    Status AddItem(std::string_view text, std::int32_t position) override {
        log_.add(name_ + ".AddItem");
        return grid_.AddItem(text, position);
    }
    Status AutoSize(std::int32_t column) override {
        log_.add(name_ + ".AutoSize(" + std::to_string(column) + ")");
        return grid_.AutoSize(column);
    }
    void SetRedraw(RedrawMode mode) override {
        log_.add(name_ + ".Redraw(" + std::to_string(static_cast<int>(mode)) + ")");
    }

private:
    std::string name_;
    CallLog& log_;
    MemoryGrid grid_ = MemoryGrid::withFileRowColumns();
};

TEST_F(FolderScanTest, GridsAreEmptiedSuspendedFilledSizedAndRedrawnInThatOrder) {
    server.makeEmptyServer();
    server.writeWave("Stream Files/greeting.wav");
    server.writeWave("Localize/Prompts/ENU/Standard/prompt.wav");
    CallLog log;
    LoggingGrid loggedGreetings("greetings", log);
    LoggingGrid loggedPrompts("prompts", log);

    ASSERT_EQ(loadIntoGrids(fileSystem, loggedGreetings, loggedPrompts), LoadOutcome::Completed);
    // Columns of the file-row layout: Codec 1, FileName 2, LastModified 4.
    EXPECT_EQ(log.entries,
              (std::vector<std::string>{
                  "greetings.SetRows(1)", "greetings.Redraw(0)", "greetings.AddItem",
                  "prompts.SetRows(1)", "prompts.Redraw(0)", "prompts.AddItem",
                  "greetings.AutoSize(2)", "greetings.AutoSize(1)", "greetings.AutoSize(4)",
                  "greetings.Redraw(2)", "prompts.AutoSize(2)", "prompts.AutoSize(1)",
                  "prompts.AutoSize(4)", "prompts.Redraw(2)"}));
}

TEST_F(FolderScanTest, GridsWithoutTheSizedColumnsReportEachOnce) {
    server.makeEmptyServer();
    MemoryGrid bare({"", "FileName"});
    ASSERT_EQ(loadIntoGrids(fileSystem, bare, prompts), LoadOutcome::Completed);
    // Codec and LastModified are missing from the greetings grid: two reports, and the
    // prompts grid is sized all the same.
    std::vector<std::string> texts = dialogs.texts();
    std::erase(texts, kNoGreetings);
    EXPECT_EQ(texts.size(), 2u);
    for (const std::string& text : texts)
        EXPECT_EQ(text.rfind(kLoadLead, 0), 0u) << text;
    EXPECT_GT(prompts.autoSizedWidth(prompts.ColIndex("FileName")), 0u);
}

} // namespace
} // namespace tambrel
