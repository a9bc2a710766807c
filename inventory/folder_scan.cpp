#include "inventory/folder_scan.h"

#include "common/ascii_case.h"
#include "inventory/describe_file.h"
#include "inventory/process_priority.h"
#include "inventory/server_folder_path.h"
#include "inventory/wav_header.h"
#include "platform/files/folder_listing.h"
#include "server/corvel_version.h"
#include "server/registry_api.h"
#include "server/server_root.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tambrel {

namespace {

// The key the server's version numbers are read from, as a message names it.
constexpr std::string_view kVersionKey = "HKEY_LOCAL_MACHINE\\Software\\Quillan";

constexpr std::string_view kStreamFiles = "\\Stream Files\\";
constexpr std::string_view kDefaultConfiguration = "\\localize\\defaultconfiguration\\";
constexpr std::string_view kPrompts = "\\Localize\\Prompts\\";
constexpr std::string_view kRecordBeep = "\\support\\RecordBeep.wav";

enum class ExtensionTest { None, Wav };

// The files of a folder that are taken, and the list they go to.
struct FileGroup {
    FileList list;
    ExtensionTest test;
};
constexpr FileGroup kPromptFiles{FileList::Prompts, ExtensionTest::Wav};

// A folder's files are put a part at a time as its listing delivers them: in a folder of 40,000
// greetings the readers start on the first files while the rest is being listed, instead of
// waiting for the whole listing (about 15 ms on a warm cache, far longer on a cold disk).
constexpr std::size_t kListingPart = 1024;

bool passesExtensionTest(std::string_view path) {
    const std::string extension = FileSystemObject::GetExtensionName(path);
    return equalIgnoringAsciiCase(extension, "WAV");
}

class LoadRun;
using LoadStep = void (LoadRun::*)();

// One entry of the scan's stream, in enumeration order: a file to read, a failure of the load,
// or a step of the lists. A file's entry is itself the record its read goes through, from the
// thread that reads it or the system's queue back to the scan.
struct ScanItem : QueuedHeaderRead {
    enum class Kind : std::uint8_t { Nothing, File, LoadFailure, Step };
    Kind kind = Kind::Nothing;
    FileList list = FileList::Greetings;
    // Files examined up to and including this item since the item before it: the files the
    // extension test turns away still count.
    std::uint32_t examined = 0;
    // Keeps the folder the file lies in open until the file is read; none when `name` is a
    // whole host path.
    std::shared_ptr<const platform::OpenFolder> openFolder;
    std::string shownPath;
    LoadFailure failure;
    LoadStep step = nullptr;
    std::uint64_t ticket = 0; // the window's, while the queue reads it
};

using ScanWindow = OrderedWindow<ScanItem>;

void readItem(ScanItem& item) {
    item.reading =
        item.openFolder ? readFileHeaderIn(*item.openFolder, item.name) : readFileHeader(item.name);
    // The last file of a folder closes it here, off the thread that tells the sink.
    item.openFolder.reset();
}

// The same reads, many files in flight at once through the system's queue, which hands back
// each item it was given.
class QueuedReads final : public ScanWindow::Queue {
public:
    explicit QueuedReads(std::unique_ptr<FileHeaderQueue> queue) : queue_(std::move(queue)) {}

    static std::unique_ptr<ScanWindow::Queue> make(std::size_t depth) {
        std::unique_ptr<FileHeaderQueue> queue = FileHeaderQueue::start(depth);
        if (!queue)
            return nullptr;
        return std::make_unique<QueuedReads>(std::move(queue));
    }

    std::size_t capacity() const override { return queue_->capacity(); }

    void start(ScanItem& item, std::uint64_t ticket) override {
        item.ticket = ticket;
        item.folder = item.openFolder.get();
        queue_->add(item);
    }

    void advance(const std::function<void(std::uint64_t)>& finished) override {
        queue_->advance([&](QueuedHeaderRead& read) {
            ScanItem& item = static_cast<ScanItem&>(read);
            item.folder = nullptr;
            item.openFolder.reset();
            finished(item.ticket);
        });
    }

private:
    std::unique_ptr<FileHeaderQueue> queue_;
};

struct ListedFolder {
    std::shared_ptr<const platform::OpenFolder> folder;
    std::string path;
    platform::FolderItems items; // its subfolders
};

// Walks the four places and puts what it finds, in order; runs ahead of the grids on a thread
// of its own unless the scan is serial. Every failure becomes an item, so it is reported in its
// place.
class Lister {
public:
    Lister(const FileSystemObject& fileSystem, const ScanOptions& options,
           ScanWindow::Producer& put, LoadStep startGreetings, LoadStep suspendGreetings,
           LoadStep checkGreetings, LoadStep startPrompts)
        : fileSystem_(fileSystem), options_(options), put_(put), startGreetings_(startGreetings),
          suspendGreetings_(suspendGreetings), checkGreetings_(checkGreetings),
          startPrompts_(startPrompts) {}

    void run();

private:
    void put(ScanItem&& item, bool needsWork) {
        item.examined = pendingExamined_;
        pendingExamined_ = 0;
        if (!stopped_)
            stopped_ = !put_.put(std::move(item), needsWork);
    }
    void fail(LoadFailureSubject subject, const Failure& failure, std::string_view concerned) {
        ScanItem item;
        item.kind = ScanItem::Kind::LoadFailure;
        item.failure = LoadFailure{subject, std::string(concerned), failure};
        put(std::move(item), false);
    }
    void step(LoadStep loadStep) {
        ScanItem item;
        item.kind = ScanItem::Kind::Step;
        item.step = loadStep;
        put(std::move(item), false);
    }
    void file(std::shared_ptr<const platform::OpenFolder> folder, std::string name,
              std::string shownPath, FileList list) {
        ++pendingExamined_;
        ScanItem item;
        item.kind = ScanItem::Kind::File;
        item.list = list;
        item.openFolder = std::move(folder);
        item.name = std::move(name);
        item.shownPath = std::move(shownPath);
        put(std::move(item), true);
    }

    // Read at the start of every group: the registry may change between groups and scans.
    std::string rootPath() {
        if (options_.givenRoot)
            return *options_.givenRoot;
        Result<std::string> root = ReadServerRootPath();
        if (!root) {
            fail(LoadFailureSubject::RegistryValue, root.failure(), serverRootPathValueName());
            return {};
        }
        return std::move(root.value());
    }

    // Lists the folder and puts its files of `files` (none without) as the listing delivers
    // them; its subfolders, in order, are what it returns. Nothing when the folder cannot be
    // opened or listed: that is reported, after the files listed before the failure.
    std::optional<ListedFolder> listFolder(Result<platform::OpenFolder> opened, std::string path,
                                           std::optional<FileGroup> files);
    std::optional<ListedFolder> listFolder(const ListedFolder& parent,
                                           platform::FolderItem subFolder,
                                           std::optional<FileGroup> files = std::nullopt) {
        return listFolder(platform::OpenFolder::openIn(*parent.folder, std::string(subFolder.name)),
                          FileSystemObject::ChildPath(parent.path, subFolder.name), files);
    }
    std::optional<ListedFolder> listFolder(const std::string& path) {
        Result<FolderEntry> folder = fileSystem_.GetFolder(path);
        if (!folder) {
            fail(LoadFailureSubject::Folder, folder.failure(), path);
            return std::nullopt;
        }
        return listFolder(platform::OpenFolder::open(folder->hostPath), folder->path, std::nullopt);
    }
    void addFiles(const ListedFolder& listed, const platform::FolderItems& items,
                  const FileGroup& files);
    void scanPromptLevelTwo(const ListedFolder& levelOne, platform::FolderItem levelTwo);

    const FileSystemObject& fileSystem_;
    const ScanOptions& options_;
    ScanWindow::Producer& put_;
    LoadStep startGreetings_, suspendGreetings_, checkGreetings_, startPrompts_;
    std::uint32_t pendingExamined_ = 0;
    bool stopped_ = false;
};

std::optional<ListedFolder> Lister::listFolder(Result<platform::OpenFolder> opened,
                                               std::string path, std::optional<FileGroup> files) {
    if (!opened) {
        fail(LoadFailureSubject::Folder, opened.failure(), path);
        return std::nullopt;
    }
    ListedFolder listed{std::make_shared<const platform::OpenFolder>(std::move(opened.value())),
                        std::move(path),
                        {}};
    // The latest part is held back until the next comes or the folder ends, so that a folder
    // of one part (nearly every folder) is listed whole before any of its files is read.
    platform::FolderItems held;
    auto addHeldFiles = [&] {
        if (files && !held.empty())
            addFiles(listed, held, *files);
    };
    const Status listing =
        listed.folder->listInParts(kListingPart, [&](platform::FolderItems& part) {
            addHeldFiles();
            std::swap(held, part);
            for (platform::FolderItem item : held)
                if (item.kind == platform::EntryKind::Folder)
                    listed.items.add(item.name, item.kind);
        });
    if (!listing) {
        // What was listed before the failure is shown, as the parts before it were.
        addHeldFiles();
        fail(LoadFailureSubject::Folder, listing.failure(), listed.path);
        return std::nullopt;
    }
    if (options_.folderListed)
        options_.folderListed(listed.path);
    addHeldFiles();
    return listed;
}

void Lister::addFiles(const ListedFolder& listed, const platform::FolderItems& items,
                      const FileGroup& files) {
    for (platform::FolderItem item : items) {
        if (item.kind != platform::EntryKind::File)
            continue;
        std::string shownPath = FileSystemObject::ChildPath(listed.path, item.name);
        if (files.test == ExtensionTest::None || passesExtensionTest(shownPath))
            file(listed.folder, std::string(item.name), std::move(shownPath), files.list);
        else
            ++pendingExamined_;
    }
    // The next folder may take a while to open and list on a cold disk: the readers start on
    // this one's files meanwhile.
    put_.flush();
}

void Lister::scanPromptLevelTwo(const ListedFolder& levelOne, platform::FolderItem levelTwoFolder) {
    // The folder's own prompts come before those of its subfolders.
    std::optional<ListedFolder> levelTwo = listFolder(levelOne, levelTwoFolder, kPromptFiles);
    if (!levelTwo)
        return;
    for (platform::FolderItem levelThreeFolder : levelTwo->items)
        (void)listFolder(*levelTwo, levelThreeFolder, kPromptFiles);
}

void Lister::run() {
    // Greetings and voice names: every file directly in the stream folder.
    {
        const std::string path = serverFolderPath(rootPath(), kStreamFiles);
        step(startGreetings_);
        Result<FolderEntry> folder = fileSystem_.GetFolder(path);
        if (!folder)
            fail(LoadFailureSubject::Folder, folder.failure(), path);
        step(suspendGreetings_);
        if (folder)
            (void)listFolder(platform::OpenFolder::open(folder->hostPath), folder->path,
                             FileGroup{FileList::Greetings, ExtensionTest::None});
    }

    // Greetings of the default configuration: one level of subfolders, WAV files only.
    {
        const std::string path = serverFolderPath(rootPath(), kDefaultConfiguration);
        if (std::optional<ListedFolder> listed = listFolder(path))
            for (platform::FolderItem subFolder : listed->items)
                (void)listFolder(*listed, subFolder,
                                 FileGroup{FileList::Greetings, ExtensionTest::Wav});
    }

    step(checkGreetings_);
    step(startPrompts_);

    // Prompts: the folders two and three levels below the prompts folder.
    {
        const std::string path = serverFolderPath(rootPath(), kPrompts);
        if (std::optional<ListedFolder> levelZero = listFolder(path)) {
            for (platform::FolderItem levelOneFolder : levelZero->items) {
                std::optional<ListedFolder> levelOne = listFolder(*levelZero, levelOneFolder);
                if (!levelOne)
                    continue;
                for (platform::FolderItem levelTwoFolder : levelOne->items)
                    scanPromptLevelTwo(*levelOne, levelTwoFolder);
            }
        }
    }

    // The record beep, looked up by name and taken whatever its extension.
    {
        const std::string path = serverFolderPath(rootPath(), kRecordBeep);
        Result<FileEntry> found = fileSystem_.GetFile(path);
        if (found)
            file(nullptr, std::move(found.value().hostPath), path, FileList::Prompts);
        else
            fail(LoadFailureSubject::File, found.failure(), path);
    }
    if (pendingExamined_ > 0)
        put(ScanItem{}, false);
}

class LoadRun {
public:
    LoadRun(const FileSystemObject& fileSystem, ScanSink& sink, const ScanProgress& progress,
            const ScanOptions& options)
        : fileSystem_(fileSystem), sink_(sink), progress_(progress), options_(options) {}

    LoadOutcome run();

private:
    void take(ScanItem& item, bool worked);
    void countExamined();
    void reportFinalCount();

    void startGreetings() {
        greetingsFound_ = 0;
        sink_.listStarted(FileList::Greetings);
    }
    void suspendGreetings() { sink_.listFilling(FileList::Greetings); }
    void checkGreetings() {
        if (greetingsFound_ == 0)
            sink_.noGreetingsFound();
    }
    void startPrompts() {
        sink_.listStarted(FileList::Prompts);
        sink_.listFilling(FileList::Prompts);
    }

    const FileSystemObject& fileSystem_;
    ScanSink& sink_;
    const ScanProgress& progress_;
    const ScanOptions& options_;
    std::int64_t filesExamined_ = 0;
    std::int64_t lastReported_ = 0;
    std::int64_t greetingsFound_ = 0;
};

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

void LoadRun::take(ScanItem& item, bool worked) {
    for (std::uint32_t i = 0; i < item.examined; ++i)
        countExamined();
    switch (item.kind) {
    case ScanItem::Kind::File:
        if (!worked)
            readItem(item);
        if (item.list == FileList::Greetings)
            ++greetingsFound_;
        sink_.fileFound(
            describeReading(item.list, std::move(item.shownPath), std::move(item.reading)));
        break;
    case ScanItem::Kind::LoadFailure:
        sink_.loadFailed(item.failure);
        break;
    case ScanItem::Kind::Step:
        (this->*item.step)();
        break;
    case ScanItem::Kind::Nothing:
        break;
    }
}

LoadOutcome LoadRun::run() {
    // Below normal for the rest of the program's life; a refusal changes nothing here.
    (void)SetProcessPriority(BelowNormalPriorityClass);

    if (!options_.givenRoot) {
        CorvelVersionInfo version;
        if (Result<CorvelVersionInfo> read = ReadCorvelVersion(); read) {
            version = read.value();
            sink_.serverVersionRead(version.VersionText);
        } else // the version then counts as 0
            sink_.loadFailed(LoadFailure{LoadFailureSubject::RegistryValue,
                                         std::string(kVersionKey), read.failure()});
        if (version.Major < 3) {
            sink_.serverRefused();
            return LoadOutcome::ServerNotSupported;
        }
    }

    ScanWindow::run(
        options_.overlap,
        [this](ScanWindow::Producer& put) {
            Lister(fileSystem_, options_, put, &LoadRun::startGreetings, &LoadRun::suspendGreetings,
                   &LoadRun::checkGreetings, &LoadRun::startPrompts)
                .run();
        },
        readItem, [this](ScanItem& item, bool worked) { take(item, worked); },
        // The threads that read for the scan are as low as the program itself, and so are the
        // system's workers a queue's thread starts afterwards.
        applyProcessPriorityToThisThread, QueuedReads::make);
    reportFinalCount();
    return LoadOutcome::Completed;
}

} // namespace

LoadOutcome runLoadSequence(const FileSystemObject& fileSystem, ScanSink& sink,
                            const ScanProgress& progress, const ScanOptions& options) {
    return LoadRun(fileSystem, sink, progress, options).run();
}

} // namespace tambrel
