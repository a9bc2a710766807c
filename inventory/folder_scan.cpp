#include "inventory/folder_scan.h"

#include "common/user_dialogs.h"
#include "inventory/add_file_to_grid.h"
#include "inventory/process_priority.h"
#include "localize/language_state.h"
#include "server/corvel_version.h"
#include "server/registry_api.h"
#include "server/server_root.h"

#include <optional>
#include <string>
#include <string_view>

namespace tambrel {

namespace {

// The key the server's version numbers are read from, as a message names it.
constexpr std::string_view kVersionKey = "HKEY_LOCAL_MACHINE\\Software\\Quillan";

constexpr std::string_view kStreamFiles = "\\Stream Files\\";
constexpr std::string_view kDefaultConfiguration = "\\localize\\defaultconfiguration\\";
constexpr std::string_view kPrompts = "\\Localize\\Prompts\\";
constexpr std::string_view kRecordBeep = "\\support\\RecordBeep.wav";

constexpr std::int32_t kLoadErrorLead = 10;
constexpr std::int32_t kNoGreetingsFound = 22;
constexpr std::int32_t kServerNotSupported = 30;

enum class GridTarget { Greetings, Prompts };
enum class ExtensionTest { None, Wav };

// The load's trap: every failure is shown with its lead text and the folder, file or registry
// value it concerns, then the next step runs.
void reportLoadFailure(const Failure& failure, std::string_view concerned = {}) {
    reportMessage(mymyLoadString(kLoadErrorLead) + failureText(failure, concerned));
}

void trap(const Status& status) {
    if (!status)
        reportLoadFailure(status.failure());
}

bool passesExtensionTest(std::string_view path) {
    const std::string extension = FileSystemObject::GetExtensionName(path);
    if (extension.size() != 3)
        return false;
    auto upper = [](char c) { return static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c); };
    return upper(extension[0]) == 'W' && upper(extension[1]) == 'A' && upper(extension[2]) == 'V';
}

// Read at the start of every group: the registry may change between groups and scans.
std::string registryRootPath() {
    Result<std::string> root = ReadServerRootPath();
    if (!root) {
        reportLoadFailure(root.failure(), serverRootPathValueName());
        return {};
    }
    return std::move(root.value());
}

class LoadRun {
public:
    LoadRun(const FileSystemObject& fileSystem, Grid& gridGreetings, Grid& gridPrompts,
            const ScanProgress& progress, const std::optional<std::string>& givenRoot)
        : fileSystem_(fileSystem), gridGreetings_(gridGreetings), gridPrompts_(gridPrompts),
          progress_(progress), givenRoot_(givenRoot) {}

    LoadOutcome run();

private:
    void addFile(const FileEntry& file, GridTarget target);
    void countExamined();
    void addFiles(const FolderListing& listing, GridTarget target, ExtensionTest test);
    // Opens and lists a folder; a failure is reported here, once, and yields nothing.
    std::optional<FolderListing> listFolder(const FolderEntry& folder);
    std::optional<FolderListing> openAndList(const std::string& path);
    void scanPromptLevelTwo(const FolderEntry& folder);
    void autoSizeMainColumns(Grid& grid);
    void reportFinalCount();
    std::string serverRootPath() const { return givenRoot_ ? *givenRoot_ : registryRootPath(); }

    const FileSystemObject& fileSystem_;
    Grid& gridGreetings_;
    Grid& gridPrompts_;
    const ScanProgress& progress_;
    const std::optional<std::string>& givenRoot_;
    std::int64_t filesExamined_ = 0;
    std::int64_t lastReported_ = 0;
};

void LoadRun::addFile(const FileEntry& file, GridTarget target) {
    AddFileToGrid(file, target == GridTarget::Greetings, gridGreetings_, gridPrompts_);
}

// Every file looked at counts, taken or not: a folder full of files the extension test turns
// away still takes time, and the count should not stand still meanwhile.
void LoadRun::countExamined() {
    ++filesExamined_;
    if (progress_.filesExamined && progress_.interval > 0 &&
        filesExamined_ % progress_.interval == 0) {
        progress_.filesExamined(filesExamined_);
        lastReported_ = filesExamined_;
    }
}

void LoadRun::reportFinalCount() {
    if (progress_.filesExamined && filesExamined_ != lastReported_) {
        progress_.filesExamined(filesExamined_);
        lastReported_ = filesExamined_;
    }
}

void LoadRun::addFiles(const FolderListing& listing, GridTarget target, ExtensionTest test) {
    for (const FileEntry& file : listing.files) {
        countExamined();
        if (test == ExtensionTest::None || passesExtensionTest(file.path))
            addFile(file, target);
    }
}

std::optional<FolderListing> LoadRun::listFolder(const FolderEntry& folder) {
    Result<FolderListing> listing = fileSystem_.List(folder);
    if (!listing) {
        reportLoadFailure(listing.failure(), folder.path);
        return std::nullopt;
    }
    return std::move(listing.value());
}

std::optional<FolderListing> LoadRun::openAndList(const std::string& path) {
    Result<FolderEntry> folder = fileSystem_.GetFolder(path);
    if (!folder) {
        reportLoadFailure(folder.failure(), path);
        return std::nullopt;
    }
    return listFolder(folder.value());
}

void LoadRun::scanPromptLevelTwo(const FolderEntry& folder) {
    std::optional<FolderListing> levelTwo = listFolder(folder);
    if (!levelTwo)
        return;
    // The folder's own prompts come before those of its subfolders.
    addFiles(*levelTwo, GridTarget::Prompts, ExtensionTest::Wav);
    for (const FolderEntry& levelThreeFolder : levelTwo->subFolders) {
        std::optional<FolderListing> levelThree = listFolder(levelThreeFolder);
        if (levelThree)
            addFiles(*levelThree, GridTarget::Prompts, ExtensionTest::Wav);
    }
}

void LoadRun::autoSizeMainColumns(Grid& grid) {
    for (std::string_view key : {"FileName", "Codec", "LastModified"})
        trap(grid.AutoSize(grid.ColIndex(key)));
}

LoadOutcome LoadRun::run() {
    // Below normal for the rest of the program's life; a refusal changes nothing here.
    (void)SetProcessPriority(BelowNormalPriorityClass);

    if (!givenRoot_) {
        CorvelVersionInfo version;
        if (Result<CorvelVersionInfo> read = ReadCorvelVersion(); read)
            version = read.value();
        else
            reportLoadFailure(read.failure(), kVersionKey); // the version then counts as 0
        if (version.Major < 3) {
            reportMessage(mymyLoadString(kServerNotSupported));
            return LoadOutcome::ServerNotSupported;
        }
    }

    // Greetings and voice names: every file directly in the stream folder.
    {
        const std::string path = serverRootPath() + std::string(kStreamFiles);
        trap(gridGreetings_.SetRows(1));
        Result<FolderEntry> folder = fileSystem_.GetFolder(path);
        if (!folder)
            reportLoadFailure(folder.failure(), path);
        gridGreetings_.SetRedraw(RedrawMode::Suspended);
        if (folder) {
            if (std::optional<FolderListing> listing = listFolder(folder.value()))
                addFiles(*listing, GridTarget::Greetings, ExtensionTest::None);
        }
    }

    // Greetings of the default configuration: one level of subfolders, WAV files only.
    {
        const std::string path = serverRootPath() + std::string(kDefaultConfiguration);
        if (std::optional<FolderListing> listing = openAndList(path)) {
            for (const FolderEntry& subFolder : listing->subFolders)
                if (std::optional<FolderListing> files = listFolder(subFolder))
                    addFiles(*files, GridTarget::Greetings, ExtensionTest::Wav);
        }
    }

    if (gridGreetings_.Rows() < 2)
        reportMessage(mymyLoadString(kNoGreetingsFound));

    trap(gridPrompts_.SetRows(1));
    gridPrompts_.SetRedraw(RedrawMode::Suspended);

    // Prompts: the folders two and three levels below the prompts folder.
    {
        const std::string path = serverRootPath() + std::string(kPrompts);
        if (std::optional<FolderListing> levelZero = openAndList(path)) {
            for (const FolderEntry& levelOneFolder : levelZero->subFolders) {
                std::optional<FolderListing> levelOne = listFolder(levelOneFolder);
                if (!levelOne)
                    continue;
                for (const FolderEntry& levelTwoFolder : levelOne->subFolders)
                    scanPromptLevelTwo(levelTwoFolder);
            }
        }
    }

    // The record beep, looked up by name and taken whatever its extension.
    {
        const std::string path = serverRootPath() + std::string(kRecordBeep);
        Result<FileEntry> file = fileSystem_.GetFile(path);
        if (file) {
            countExamined();
            addFile(file.value(), GridTarget::Prompts);
        } else {
            reportLoadFailure(file.failure(), path);
        }
    }
    reportFinalCount();

    autoSizeMainColumns(gridGreetings_);
    gridGreetings_.SetRedraw(RedrawMode::Buffered);
    autoSizeMainColumns(gridPrompts_);
    gridPrompts_.SetRedraw(RedrawMode::Buffered);
    return LoadOutcome::Completed;
}

} // namespace

LoadOutcome runLoadSequence(const FileSystemObject& fileSystem, Grid& gridGreetings,
                            Grid& gridPrompts, const ScanProgress& progress,
                            const std::optional<std::string>& givenRoot) {
    return LoadRun(fileSystem, gridGreetings, gridPrompts, progress, givenRoot).run();
}

} // namespace tambrel
