// Whether io_uring would read the scan's files faster than the thread pool it uses: over one
// server, the folders are listed once and then, for every file, opened relative to its
// folder's descriptor, its 38 header bytes read, its status taken and it is closed, by
//   (a) one thread, one file after another (the floor),
//   (b) a pool of threads sharing the files out,
//   (c) one thread keeping a bounded ring of requests in flight through io_uring
//       (openat, then read, statx and close linked),
// and (d) the scan itself, overlapped (through io_uring where the kernel allows it), into
// in-memory grids; warm and, as root, with the page cache dropped before each round.
//
//   uring_bench PREFIX      (a server made by scripts/make_sample_server.py --files N)
//   TAMBREL_BENCH_WORKERS: threads of (b) and (d) (16); TAMBREL_BENCH_DEPTH: ring of (c) (256)
//   TAMBREL_BENCH_COLD=0: skip the cold rounds; TAMBREL_BENCH_WARM_ROUNDS, _COLD_ROUNDS (5, 3)

#include "common/user_dialogs.h"
#include "inventory/file_system.h"
#include "inventory/folder_scan.h"
#include "platform/testing/file_tricks.h"
#include "platform/testing/measurement.h"
#include "platform/testing/read_strategies.h"
#include "tests/support/grid_load.h"
#include "tests/support/memory_grid.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

class SilentDialogs final : public tambrel::UserDialogs {
public:
    tambrel::MessageAnswer showMessage(std::string_view, std::string_view,
                                       tambrel::MessageButtons) override {
        return tambrel::MessageAnswer::Ok;
    }
    std::optional<std::string> askSaveFileName(const tambrel::SaveDialogRequest&) override {
        return {};
    }
    void setMousePointer(tambrel::MousePointer) override {}
};

int setting(const char* name, int fallback) {
    const char* text = std::getenv(name);
    return text ? std::atoi(text) : fallback;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: uring_bench PREFIX\n");
        return 2;
    }
    const std::string prefix = argv[1];
    const std::string root = prefix + "/drive_c/Corvel";
    ::setenv("WINEPREFIX", prefix.c_str(), 1);
    const unsigned workers = static_cast<unsigned>(setting("TAMBREL_BENCH_WORKERS", 16));
    const unsigned depth = static_cast<unsigned>(setting("TAMBREL_BENCH_DEPTH", 256));
    SilentDialogs dialogs;
    tambrel::installUserDialogs(&dialogs);
    const tambrel::FileSystemObject fileSystem(prefix);
    tambrel::ScanOptions scanOptions;
    scanOptions.overlap.workers = workers;

    struct Measured {
        const char* name;
        std::function<std::uint64_t()> work;
        double warm = 1e9;
        double cold = 1e9;
    };
    std::vector<Measured> measured{
        {"(a) one thread: openat/pread/fstat/close",
         [&] { return tambrel::testing::readHeadersOneByOne(root); }},
        {"(b) thread pool, same calls",
         [&] { return tambrel::testing::readHeadersWithThreads(root, workers); }},
        {"(c) io_uring ring: openat; read+statx+close",
         [&] { return tambrel::testing::readHeadersThroughRing(root, depth); }},
        {"(d) the scan, overlapped, into memory grids",
         [&] {
             tambrel::MemoryGrid greetings = tambrel::MemoryGrid::withFileRowColumns();
             tambrel::MemoryGrid prompts = tambrel::MemoryGrid::withFileRowColumns();
             (void)tambrel::testing::loadIntoGrids(fileSystem, greetings, prompts, {}, scanOptions);
             return static_cast<std::uint64_t>(greetings.Rows() + prompts.Rows());
         }},
    };
    auto seconds = [](const std::function<std::uint64_t()>& work, std::uint64_t& sum) {
        const auto start = Clock::now();
        sum = work();
        return std::chrono::duration<double>(Clock::now() - start).count();
    };

    const std::string loadBefore = tambrel::testing::loadAverage();
    std::uint64_t sums[4] = {};
    // Warms the caches, and the scan lowers the priority of the process for every round after.
    for (std::size_t i = 0; i < measured.size(); ++i)
        (void)seconds(measured[i].work, sums[i]);
    for (int round = 0; round < setting("TAMBREL_BENCH_WARM_ROUNDS", 5); ++round)
        for (Measured& item : measured) {
            std::uint64_t sum = 0;
            item.warm = std::min(item.warm, seconds(item.work, sum));
        }
    const bool cold =
        setting("TAMBREL_BENCH_COLD", 1) != 0 && tambrel::testing::runningAsSuperuser();
    if (cold)
        for (int round = 0; round < setting("TAMBREL_BENCH_COLD_ROUNDS", 3); ++round)
            for (Measured& item : measured) {
                if (!tambrel::testing::dropPageCache())
                    break;
                std::uint64_t sum = 0;
                item.cold = std::min(item.cold, seconds(item.work, sum));
            }
    tambrel::installUserDialogs(nullptr);

    std::printf("cores                         %u\n", std::thread::hardware_concurrency());
    std::printf("load average before, after    %s, %s\n", loadBefore.c_str(),
                tambrel::testing::loadAverage().c_str());
    std::printf("threads %u, ring depth %u; checksums (a) %llu (b) %llu (c) %llu\n", workers, depth,
                static_cast<unsigned long long>(sums[0]), static_cast<unsigned long long>(sums[1]),
                static_cast<unsigned long long>(sums[2]));
    std::printf("%-46s %-16s %s\n", "", "warm best", "cold best");
    for (const Measured& item : measured) {
        char coldText[48] = "skipped";
        if (cold)
            std::snprintf(coldText, sizeof coldText, "%.3f s %.2fx", item.cold,
                          item.cold / measured[0].cold);
        std::printf("%-46s %.3f s %.2fx  %s\n", item.name, item.warm, item.warm / measured[0].warm,
                    coldText);
    }
    return sums[0] == sums[1] && sums[1] == sums[2] ? 0 : 1;
}
