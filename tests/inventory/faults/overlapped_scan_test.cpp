// The overlapped scan against the serial one: the same rows in the same order and the same
// messages at the same moments, on generated servers and on one whose entries vanish, are no
// files, cannot be read or are held by another program, with windows from one file to many,
// read by the thread pool and through the system's queue (io_uring).
#include "inventory/wav_header.h"
#include "platform/testing/file_tricks.h"
#include "platform/testing/process_tricks.h"
#include "tests/inventory/faults/scan_fixture.h"
#include "tests/support/scoped_environment.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>

namespace tambrel {
namespace {

namespace fs = std::filesystem;
using namespace testing;

// A message and how many rows each grid held when it was shown: where it came in the scan.
struct Moment {
    std::string text;
    std::int32_t greetingRows, promptRows;
    bool operator==(const Moment&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Moment& moment) {
    return out << '{' << moment.text << " @" << moment.greetingRows << '/' << moment.promptRows
               << '}';
}

class MomentDialogs final : public UserDialogs {
public:
    MomentDialogs(const MemoryGrid& greetings, const MemoryGrid& prompts)
        : greetings_(greetings), prompts_(prompts), previous_(installUserDialogs(this)) {}
    ~MomentDialogs() override { installUserDialogs(previous_); }
    MessageAnswer showMessage(std::string_view text, std::string_view, MessageButtons) override {
        moments.push_back({std::string(text), greetings_.Rows(), prompts_.Rows()});
        return MessageAnswer::Ok;
    }
    std::optional<std::string> askSaveFileName(const SaveDialogRequest&) override { return {}; }
    void setMousePointer(MousePointer) override {}

    std::vector<Moment> moments;

private:
    const MemoryGrid& greetings_;
    const MemoryGrid& prompts_;
    UserDialogs* previous_;
};

struct ScanRecord {
    std::vector<Row> greetings, prompts;
    std::vector<Moment> moments;
};

ScanRecord scanOf(const fs::path& prefix, const ScanOptions& options) {
    MemoryGrid greetings = MemoryGrid::withFileRowColumns();
    MemoryGrid prompts = MemoryGrid::withFileRowColumns();
    MomentDialogs dialogs(greetings, prompts);
    const FileSystemObject fileSystem(prefix.string());
    EXPECT_EQ(loadIntoGrids(fileSystem, greetings, prompts, {}, options), LoadOutcome::Completed);
    return {rowsOf(greetings), rowsOf(prompts), std::move(dialogs.moments)};
}

// Dates of entries made during a test are pinned, so that two servers built a moment apart
// give the same cells.
void pinDate(const fs::path& path) {
    ASSERT_TRUE(setEntryTimes(path, 1614591000)) << path << ": " << std::strerror(errno);
}

void pinDates(const fs::path& top) {
    for (const auto& entry : fs::recursive_directory_iterator(top))
        pinDate(entry.path());
}

// A write lease, as Samba's kernel oplocks take one for a client holding the file: until the
// holder gives it up, an open that must not wait is refused at once (EAGAIN), and any other open
// waits for the lease to be broken (up to /proc/sys/fs/lease-break-time, 45 s). Not held where
// the file system has no leases.
class WriteLease {
public:
    explicit WriteLease(const fs::path& path) : lease_(holdWriteLease(path)) {}
    bool held() const { return lease_ != nullptr; }

private:
    std::shared_ptr<void> lease_;
};

// A server with every kind of awkward entry, and the changes made to it once a folder has been
// listed and before its files are read. One of its files is held under `lease`.
void buildAwkwardServer(const ServerTree& server, std::unique_ptr<WriteLease>& lease) {
    server.makeEmptyServer();
    for (const char* name :
         {"a.wav", "gone.wav", "b.wav", "folder.wav", "fifo.wav", "c.txt", "leased.wav"})
        server.writeWave(std::string("Stream Files/") + name);
    server.write("Stream Files/notes.txt", "not a recording");
    server.write("Stream Files/empty.wav", "");
    const fs::path streams = server.root() / "Stream Files";
    ASSERT_TRUE(makeFifo(streams / "real.fifo"));
    fs::create_symlink("nowhere.wav", streams / "dangling.wav");
    fs::create_symlink("loop.wav", streams / "loop.wav");
    fs::create_symlink("a.wav", streams / "link.wav");
    for (const char* configuration : {"ENU", "DEU", "FRA"})
        for (const char* name : {"n.wav", "x.WAV", "skip.wave"})
            server.writeWave(std::string("localize/defaultconfiguration/") + configuration + "/" +
                             name);
    for (const char* levelOne : {"A", "B"})
        for (const char* levelTwo : {"Standard", "Gone", "Deep"}) {
            const std::string folder = std::string("Localize/Prompts/") + levelOne + "/" + levelTwo;
            server.writeWave(folder + "/p.wav");
            server.writeWave(folder + "/q.wav");
            server.writeWave(folder + "/L3/r.wav");
            server.writeWave(folder + "/L3/L4/s.wav");
        }
    fs::create_directory_symlink("A", server.root() / "Localize/Prompts/LinkToA");
    pinDates(server.prefix());
    lease = std::make_unique<WriteLease>(streams / "leased.wav");
}

ScanOptions withAwkwardChanges(const ServerTree& server, ScanOptions options) {
    const fs::path root = server.root();
    options.folderListed = [root](const std::string& listed) {
        if (listed == shownPath("Stream Files\\")) {
            fs::remove(root / "Stream Files/gone.wav");
            fs::remove(root / "Stream Files/folder.wav");
            fs::create_directory(root / "Stream Files/folder.wav");
            pinDate(root / "Stream Files/folder.wav");
            fs::remove(root / "Stream Files/fifo.wav");
            makeFifo(root / "Stream Files/fifo.wav");
            pinDate(root / "Stream Files/fifo.wav");
        } else if (listed == shownPath("localize\\defaultconfiguration\\")) {
            fs::remove_all(root / "localize/defaultconfiguration/DEU");
        } else if (listed == shownPath("Localize\\Prompts\\A")) {
            fs::remove_all(root / "Localize/Prompts/A/Gone");
            fs::remove(root / "Localize/Prompts/A/Standard/q.wav");
        }
    };
    return options;
}

// Who reads in an overlapped scan: the thread pool with `threads` workers, or the system's
// queue driven by `threads` threads.
struct Reader {
    OverlapMode mode;
    unsigned threads;
};

ScanOptions overlapped(std::size_t window, Reader reader, ScanOptions options = {}) {
    options.overlap.mode = reader.mode;
    options.overlap.window = window;
    if (reader.mode == OverlapMode::SystemQueue)
        options.overlap.queueThreads = reader.threads;
    else
        options.overlap.workers = reader.threads;
    return options;
}

// Without a queue the scan reads with the pool, which the pool's own cases cover already.
#define SKIP_WITHOUT_SYSTEM_QUEUE(reader)                                                          \
    if ((reader).mode == OverlapMode::SystemQueue && !FileHeaderQueue::start(1))                   \
    GTEST_SKIP() << "io_uring is unavailable here (an old kernel, "                                \
                    "/proc/sys/kernel/io_uring_disabled or a seccomp filter): the scan reads "     \
                    "with its thread pool, covered by the pool's cases"

constexpr Reader pool(unsigned workers) {
    return {OverlapMode::ThreadPool, workers};
}
constexpr Reader queue(unsigned threads) {
    return {OverlapMode::SystemQueue, threads};
}

enum class ServerKind { Sample, Bulk, Awkward };

struct OverlapCase {
    const char* name;
    ServerKind server;
    std::size_t window;
    Reader reader;
};

void PrintTo(const OverlapCase& overlap, std::ostream* out) {
    *out << overlap.name;
}

const OverlapCase kOverlapCases[] = {
    {"SampleServerWindowOfOne", ServerKind::Sample, 1, pool(1)},
    {"SampleServerWindowOfMany", ServerKind::Sample, 256, pool(16)},
    {"BulkServerWindowOfOneManyThreads", ServerKind::Bulk, 1, pool(8)},
    {"BulkServerWindowOfThree", ServerKind::Bulk, 3, pool(2)},
    // Not a whole number of hand-over batches: partial batches and claims wrap round the window.
    {"BulkServerWindowOfFortyOne", ServerKind::Bulk, 41, pool(3)},
    {"BulkServerWindowOfMany", ServerKind::Bulk, 256, pool(16)},
    {"AwkwardServerWindowOfOne", ServerKind::Awkward, 1, pool(1)},
    {"AwkwardServerWindowOfThree", ServerKind::Awkward, 3, pool(2)},
    {"AwkwardServerWindowOfMany", ServerKind::Awkward, 256, pool(16)},
    // One request in flight at a time, a few, and many; two queues sharing the window.
    {"SampleServerQueueWindowOfOne", ServerKind::Sample, 1, queue(1)},
    {"SampleServerQueueWindowOfMany", ServerKind::Sample, 256, queue(1)},
    {"BulkServerQueueWindowOfOne", ServerKind::Bulk, 1, queue(1)},
    {"BulkServerQueueWindowOfThree", ServerKind::Bulk, 3, queue(1)},
    {"BulkServerTwoQueuesWindowOfFortyOne", ServerKind::Bulk, 41, queue(2)},
    {"BulkServerQueueWindowOfMany", ServerKind::Bulk, 256, queue(1)},
    {"BulkServerTwoQueuesWindowOfMany", ServerKind::Bulk, 256, queue(2)},
    {"AwkwardServerQueueWindowOfOne", ServerKind::Awkward, 1, queue(1)},
    {"AwkwardServerQueueWindowOfThree", ServerKind::Awkward, 3, queue(1)},
    {"AwkwardServerQueueWindowOfMany", ServerKind::Awkward, 256, queue(1)},
    {"AwkwardServerTwoQueuesWindowOfMany", ServerKind::Awkward, 256, queue(2)},
};

class OverlappedScan : public ::testing::TestWithParam<OverlapCase> {
protected:
    // A generated server is written once, when a case first needs it: ctest runs every case
    // in a process of its own.
    static fs::path generated(ServerKind kind) {
        const char* folder = kind == ServerKind::Sample ? "sample" : "bulk";
        const fs::path prefix = generated_->path() / folder;
        if (!fs::exists(prefix)) {
            const std::string command =
                std::string("python3 '") + TAMBREL_SAMPLE_SERVER_SCRIPT + "' '" + prefix.string() +
                "'" + (kind == ServerKind::Sample ? "" : " --files 3000") + " >/dev/null";
            EXPECT_EQ(std::system(command.c_str()), 0) << command;
        }
        return prefix;
    }
    static void SetUpTestSuite() { generated_ = std::make_unique<TemporaryFolder>(); }
    static void TearDownTestSuite() { generated_.reset(); }

    // The record of one scan; the awkward server is built afresh for each, since it changes.
    static ScanRecord record(ServerKind kind, ScanOptions options) {
        if (kind == ServerKind::Awkward) {
            ServerTree server;
            std::unique_ptr<WriteLease> lease;
            buildAwkwardServer(server, lease);
            return scanOf(server.prefix(), withAwkwardChanges(server, std::move(options)));
        }
        const fs::path prefix = generated(kind);
        const ScopedEnvironment inUse("WINEPREFIX", prefix.string());
        return scanOf(prefix, options);
    }

    static std::unique_ptr<TemporaryFolder> generated_;
};

std::unique_ptr<TemporaryFolder> OverlappedScan::generated_;

// The descriptors this process holds; the listing's own is among them each time.
std::size_t openDescriptors() {
    const fs::directory_iterator listing("/proc/self/fd");
    return static_cast<std::size_t>(std::distance(fs::begin(listing), fs::end(listing)));
}

TEST_P(OverlappedScan, GivesTheRowsAndMessagesOfTheSerialScan) {
    const OverlapCase& overlap = GetParam();
    SKIP_WITHOUT_SYSTEM_QUEUE(overlap.reader);
    const ScanRecord serial = record(overlap.server, ScanOptions::serial());
    const std::size_t openBefore = openDescriptors();
    const ScanRecord overlapped =
        record(overlap.server, tambrel::overlapped(overlap.window, overlap.reader));
    // Every reload would leave more open, until opens fail for want of descriptors.
    EXPECT_EQ(openDescriptors(), openBefore) << "files or folders of the scan left open";

    ASSERT_FALSE(serial.greetings.empty());
    ASSERT_FALSE(serial.prompts.empty());
    EXPECT_EQ(overlapped.greetings, serial.greetings);
    EXPECT_EQ(overlapped.prompts, serial.prompts);
    EXPECT_EQ(overlapped.moments, serial.moments);
    if (overlap.server == ServerKind::Awkward) {
        EXPECT_FALSE(serial.moments.empty()) << "the changes made no message";
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, OverlappedScan, ::testing::ValuesIn(kOverlapCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct WindowCase {
    const char* name;
    std::size_t window;
    Reader reader;
};

class FailedOpenInTheMiddle : public ScanFixture,
                              public ::testing::WithParamInterface<WindowCase> {};

TEST_P(FailedOpenInTheMiddle, IsReportedInItsPlace) {
    SKIP_WITHOUT_SYSTEM_QUEUE(GetParam().reader);
    server.makeEmptyServer();
    for (const char* name : {"1.wav", "2.wav", "3.wav", "4.wav", "5.wav"})
        server.writeWave(std::string("Stream Files/") + name);
    const std::vector<std::string> order = directoryOrder(at("Stream Files"));
    const ScanOptions options = overlapped(
        GetParam().window, GetParam().reader,
        changeWhenListed("Stream Files", [&] { fs::remove(at("Stream Files/" + order[2])); }));
    MomentDialogs moments(greetings, prompts);

    ASSERT_EQ(load({}, options), LoadOutcome::Completed);

    // Two rows before it, the header row included: the message comes as the third file's turn.
    EXPECT_EQ(
        moments.moments,
        (std::vector<Moment>{{addFailure(ENOENT, shownPath("Stream Files/" + order[2])), 3, 1}}));
    const std::vector<Row> rows = rowsOf(greetings);
    ASSERT_EQ(rows.size(), order.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        EXPECT_EQ(rows[i].fileName, shownPath("Stream Files/" + order[i]));
    EXPECT_EQ(rows[2], (Row{kNotWave, shownPath("Stream Files/" + order[2]), " 0", "", ""}));
    EXPECT_EQ(rows[3].codec, "PCM 16");
}

INSTANTIATE_TEST_SUITE_P(Windows, FailedOpenInTheMiddle,
                         ::testing::Values(WindowCase{"OfOne", 1, pool(1)},
                                           WindowCase{"OfTwo", 2, pool(4)},
                                           WindowCase{"OfMany", 256, pool(16)},
                                           WindowCase{"OfOneThroughTheQueue", 1, queue(1)},
                                           WindowCase{"OfTwoThroughTwoQueues", 2, queue(2)},
                                           WindowCase{"OfManyThroughTheQueue", 256, queue(1)}),
                         [](const auto& info) { return std::string(info.param.name); });

class ScanThreads : public ScanFixture, public ::testing::WithParamInterface<WindowCase> {};

TEST_P(ScanThreads, EveryThreadReadingForTheScanRunsAtTheProgramsLowPriority) {
    const Reader reader = GetParam().reader;
    SKIP_WITHOUT_SYSTEM_QUEUE(reader);
    server.makeEmptyServer();
    // The queue's opens of leased files are refused at once and tried again by the kernel in
    // its own workers, which so are there to be seen: on a warm cache everything else the
    // queue does ends on the thread that hands it over.
    std::vector<std::unique_ptr<WriteLease>> leases;
    for (int i = 0; i < 40; ++i) {
        const std::string name = "Stream Files/" + std::to_string(i) + ".wav";
        server.writeWave(name);
        leases.push_back(std::make_unique<WriteLease>(at(name)));
    }
    std::vector<ThreadPriority> seen;
    ScanProgress progress;
    progress.interval = 20;
    progress.filesExamined = [&](std::int64_t) {
        if (seen.empty())
            seen = threadPriorities();
    };
    // A window smaller than the folder keeps the lister and the readers waiting, and so alive,
    // while the rows are added.
    ASSERT_EQ(load(progress, overlapped(GetParam().window, reader)), LoadOutcome::Completed);

    ASSERT_GT(seen.size(), 2u);
    const int lowered = niceValueOf(0).value_or(-100);
    const long ioLowest = 2 << 13 | 7;
    for (const ThreadPriority& thread : seen) {
        SCOPED_TRACE(thread.name);
        EXPECT_EQ(thread.nice, lowered);
        if (thread.io >= 0) {
            EXPECT_EQ(thread.io, ioLowest);
        }
    }
    const bool kernelWorkers = std::any_of(seen.begin(), seen.end(), [](const auto& thread) {
        return thread.name.starts_with("iou-wrk-");
    });
    if (reader.mode != OverlapMode::SystemQueue) {
        EXPECT_FALSE(kernelWorkers);
    } else if (!leases.front()->held()) {
        GTEST_SKIP() << "the file system grants no leases: the kernel's workers of the queue "
                        "were not called on, and went unseen";
    } else {
        EXPECT_TRUE(kernelWorkers) << "no iou-wrk thread while opening leased files";
    }
}

INSTANTIATE_TEST_SUITE_P(Readers, ScanThreads,
                         ::testing::Values(WindowCase{"ThreadPool", 4, pool(2)},
                                           WindowCase{"Queue", 4, queue(1)},
                                           WindowCase{"TwoQueues", 4, queue(2)}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace tambrel
