// Times, over one generated server in one run: the floor (a single-threaded loop that lists the
// folders and does open, pread, fstat and close for each file), the scan alone (into in-memory
// grids) and the whole load of the main window (every row, the column sizing and the repaint,
// into the real grid widgets on the offscreen platform), overlapped (reading through io_uring,
// the default, and with the thread pool) and serial; with a warm page
// cache and, when run as root, with the page cache dropped before each round. Prints the best
// and the worst round of each, the processor time of the best warm round (of the thread that
// fills the grids, and of the whole process: on a busy machine the threads get less of the
// processor than the single-threaded floor does, and these show what the work itself costs),
// the load average, the core count and the peak memory.
//
//   load_bench [files=100000] [prefix]   (without a prefix one is generated and removed)
//   TAMBREL_BENCH_WORKERS, TAMBREL_BENCH_WINDOW: the pool's threads and the overlap's window
//   TAMBREL_BENCH_QUEUE_THREADS, TAMBREL_BENCH_QUEUE_DEPTH: threads driving io_uring queues (2),
//   and the files each keeps in flight (128)
//   TAMBREL_BENCH_COLD=0: skip the cold rounds
//   TAMBREL_BENCH_WARM_ROUNDS, TAMBREL_BENCH_COLD_ROUNDS: rounds of each (5 and 3)
//   TAMBREL_BENCH_SERIAL=0: leave out the serial scan and load
//   TAMBREL_BENCH_ONLY=a,c: only the rounds of these labels

#include "common/user_dialogs.h"
#include "inventory/file_system.h"
#include "inventory/folder_scan.h"
#include "inventory/wav_header.h"
#include "platform/testing/file_tricks.h"
#include "platform/testing/measurement.h"
#include "tests/support/grid_load.h"
#include "tests/support/memory_grid.h"
#include "ui/grid_widget.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <QApplication>
#include <QVBoxLayout>
#include <QWidget>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace tambrel;
using Clock = std::chrono::steady_clock;
using testing::dropPageCache;
using testing::loadAverage;
using testing::ProcessorClock;
using testing::processorSeconds;

// The floor: the folders listed and, for each file, the system calls one file row needs, by full
// path, one after another on one thread, and nothing else.
std::uint64_t bareSystemCalls(const std::string& folder) {
    return testing::headerReadsBelow(folder, 38);
}

class SilentDialogs final : public UserDialogs {
public:
    MessageAnswer showMessage(std::string_view text, std::string_view, MessageButtons) override {
        if (messages++ < 5)
            std::fprintf(stderr, "message: %.*s\n", static_cast<int>(text.size()), text.data());
        return MessageAnswer::Ok;
    }
    std::optional<std::string> askSaveFileName(const SaveDialogRequest&) override { return {}; }
    void setMousePointer(MousePointer) override {}
    int messages = 0;
};

std::size_t filesBelow(const std::filesystem::path& root) {
    std::size_t count = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root))
        count += entry.is_regular_file() ? 1 : 0;
    return count;
}

// One round: the time from start to end, and the processor time of the calling thread (which
// fills the grids) and of the whole process meanwhile.
struct Round {
    double seconds = 0;
    double callingThreadCpu = 0;
    double processCpu = 0;
};

struct Figure {
    double best = 1e9;
    double worst = 0;
    Round bestRound{};
    void add(const Round& round) {
        if (round.seconds < best)
            bestRound = round;
        best = std::min(best, round.seconds);
        worst = std::max(worst, round.seconds);
    }
};

template <typename Work> Round timed(Work&& work) {
    const double threadStart = processorSeconds(ProcessorClock::CallingThread);
    const double processStart = processorSeconds(ProcessorClock::WholeProcess);
    const auto start = Clock::now();
    work();
    Round round;
    round.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    round.callingThreadCpu = processorSeconds(ProcessorClock::CallingThread) - threadStart;
    round.processCpu = processorSeconds(ProcessorClock::WholeProcess) - processStart;
    return round;
}

bool generateServer(const std::string& prefix, std::size_t count) {
    const std::string command = std::string("python3 '") + TAMBREL_SAMPLE_SERVER_SCRIPT + "' '" +
                                prefix + "' --files " + std::to_string(count) + " >/dev/null";
    return std::system(command.c_str()) == 0;
}

} // namespace

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    const std::size_t count = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 100000;
    std::string prefix;
    bool removeAfterwards = false;
    if (argc > 2) {
        prefix = argv[2];
    } else {
        const std::optional<std::filesystem::path> folder =
            testing::makeFreshFolder("tambrel-load-bench-");
        if (!folder) {
            std::fprintf(stderr, "no temporary folder could be made\n");
            return 1;
        }
        prefix = (*folder / "server").string();
        removeAfterwards = true;
        std::printf("generating a server of %zu files in %s\n", count, prefix.c_str());
        if (!generateServer(prefix, count)) {
            std::fprintf(stderr, "generating the server failed\n");
            return 1;
        }
    }
    ::setenv("WINEPREFIX", prefix.c_str(), 1);

    QApplication application(argc, argv);
    SilentDialogs dialogs;
    installUserDialogs(&dialogs);

    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* gridGreetings = new GridWidget(&window);
    auto* gridPrompts = new GridWidget(&window);
    layout->addWidget(gridGreetings);
    layout->addWidget(gridPrompts);
    window.resize(1200, 900);
    window.show();
    QApplication::processEvents();

    const std::string serverRoot = prefix + "/drive_c/Corvel";
    const std::size_t files = filesBelow(serverRoot);
    const FileSystemObject fileSystem(prefix);

    ScanOptions overlapped;
    if (const char* workers = std::getenv("TAMBREL_BENCH_WORKERS"))
        overlapped.overlap.workers = static_cast<unsigned>(std::strtoul(workers, nullptr, 10));
    if (const char* window = std::getenv("TAMBREL_BENCH_WINDOW"))
        overlapped.overlap.window = std::strtoul(window, nullptr, 10);
    if (const char* threads = std::getenv("TAMBREL_BENCH_QUEUE_THREADS"))
        overlapped.overlap.queueThreads = static_cast<unsigned>(std::strtoul(threads, nullptr, 10));
    if (const char* depth = std::getenv("TAMBREL_BENCH_QUEUE_DEPTH"))
        overlapped.overlap.queueDepth = std::strtoul(depth, nullptr, 10);
    ScanOptions pooled = overlapped;
    pooled.overlap.mode = OverlapMode::ThreadPool;
    const ScanOptions serial = ScanOptions::serial();
    // Where the kernel refuses io_uring the default reads with the pool as well.
    const bool ringAvailable = FileHeaderQueue::start(1) != nullptr;

    // The scan alone: every row into the in-memory grids.
    auto scanAlone = [&](const ScanOptions& options) {
        return [&fileSystem, options] {
            MemoryGrid greetings = MemoryGrid::withFileRowColumns();
            MemoryGrid prompts = MemoryGrid::withFileRowColumns();
            (void)testing::loadIntoGrids(fileSystem, greetings, prompts, {}, options);
        };
    };
    // The whole load, until both grids have painted.
    auto load = [&](const ScanOptions& options) {
        return [&, options] {
            (void)testing::loadIntoGrids(fileSystem, *gridGreetings, *gridPrompts, {}, options);
            gridGreetings->viewport()->repaint();
            gridPrompts->viewport()->repaint();
        };
    };

    struct Measured {
        const char* name;
        std::function<void()> work;
        Figure warm{};
        Figure cold{};
    };
    std::vector<Measured> measured{
        {"(a) floor: list, open/pread/fstat/close",
         [&] { (void)bareSystemCalls(serverRoot); },
         {},
         {}},
        {"(b) scan alone, overlapped, ring", scanAlone(overlapped), {}, {}},
        {"(c) whole load, overlapped, ring", load(overlapped), {}, {}},
        {"(b') scan alone, overlapped, thread pool", scanAlone(pooled), {}, {}},
        {"(c') whole load, overlapped, thread pool", load(pooled), {}, {}},
        {"(d) scan alone, serial", scanAlone(serial), {}, {}},
        {"(e) whole load, serial", load(serial), {}, {}},
    };

    const std::string loadBefore = loadAverage();
    // Warm the page cache and the dentry cache first; the first load also lowers our priority,
    // which then holds for every timed round of all.
    (void)bareSystemCalls(serverRoot);
    load(overlapped)();
    // Several rounds of each, taken in turns so that all see the same machine.
    auto setting = [](const char* name, int fallback) {
        const char* text = std::getenv(name);
        return text ? std::atoi(text) : fallback;
    };
    if (setting("TAMBREL_BENCH_SERIAL", 1) == 0)
        measured.erase(measured.begin() + 5, measured.end());
    if (const char* only = std::getenv("TAMBREL_BENCH_ONLY")) {
        // "a,c": the floor and the whole load, say, for a profiler to see nothing else.
        const std::string wanted = std::string(",") + only + ",";
        std::erase_if(measured, [&](const Measured& item) {
            const std::string_view name = item.name;
            const std::string label(name.substr(1, name.find(')') - 1));
            return wanted.find("," + label + ",") == std::string::npos;
        });
    }
    const int warmRounds = setting("TAMBREL_BENCH_WARM_ROUNDS", 5);
    for (int round = 0; round < warmRounds; ++round)
        for (Measured& item : measured)
            item.warm.add(timed(item.work));

    const char* coldSetting = std::getenv("TAMBREL_BENCH_COLD");
    const bool wantCold = !(coldSetting && std::string(coldSetting) == "0");
    const bool canDrop = testing::runningAsSuperuser();
    const int coldRounds = setting("TAMBREL_BENCH_COLD_ROUNDS", 3);
    if (wantCold && canDrop) {
        for (int round = 0; round < coldRounds; ++round)
            for (Measured& item : measured) {
                if (!dropPageCache())
                    break;
                item.cold.add(timed(item.work));
            }
    }
    installUserDialogs(nullptr);

    const std::int64_t rows = gridGreetings->Rows() - 1 + gridPrompts->Rows() - 1;
    std::printf("cores                         %u\n", std::thread::hardware_concurrency());
    std::printf("load average before, after    %s, %s\n", loadBefore.c_str(),
                loadAverage().c_str());
    std::printf("overlap                       window %zu; pool of %u threads; ring: %s\n",
                overlapped.overlap.window, overlapped.overlap.workers,
                ringAvailable ? "io_uring" : "unavailable (its rows read with the pool)");
    std::printf("queue threads                 %u, each with up to %zu files in flight\n",
                overlapped.overlap.queueThreads, overlapped.overlap.queueDepth);
    std::printf("files on the server           %zu\n", files);
    std::printf("rows loaded                   %lld (greetings %d, prompts %d)\n",
                static_cast<long long>(rows), gridGreetings->Rows() - 1, gridPrompts->Rows() - 1);
    const double floorWarm = measured[0].warm.best;
    const double floorCold = measured[0].cold.best;
    std::printf("%-44s %-22s %-22s\n", "", "warm best..worst", "cold best..worst");
    for (const Measured& item : measured) {
        char cold[64] = "skipped";
        if (item.cold.worst > 0)
            std::snprintf(cold, sizeof cold, "%.3f..%.3f s %.2fx", item.cold.best, item.cold.worst,
                          item.cold.best / floorCold);
        std::printf("%-44s %.3f..%.3f s %.2fx  %s\n", item.name, item.warm.best, item.warm.worst,
                    item.warm.best / floorWarm, cold);
    }
    std::printf("processor time of the best warm round: grid-filling thread, whole process\n");
    for (const Measured& item : measured)
        std::printf("%-44s %.3f s, %.3f s\n", item.name, item.warm.bestRound.callingThreadCpu,
                    item.warm.bestRound.processCpu);
    if (!wantCold)
        std::printf("cold rounds skipped (TAMBREL_BENCH_COLD=0)\n");
    else if (!canDrop)
        std::printf("cold rounds skipped: dropping the page cache needs root\n");
    std::printf("targets: (c) warm <= 1.0x (a), (c) cold <= 0.4x (a)\n");
    std::printf("peak resident memory          %.1f MiB\n", testing::peakResidentMebibytes());
    std::printf("messages shown                %d\n", dialogs.messages);

    if (removeAfterwards)
        std::filesystem::remove_all(std::filesystem::path(prefix).parent_path());
    return rows == static_cast<std::int64_t>(files) ? 0 : 1;
}
