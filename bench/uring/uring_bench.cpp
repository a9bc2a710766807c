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
#include "tests/support/grid_load.h"
#include "tests/support/memory_grid.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <functional>
#include <liburing.h>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kReadFlags = O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY;
constexpr unsigned kHeaderBytes = 38;

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

// The files to read: each by its folder's descriptor and its name. Folders stay open.
struct Files {
    std::vector<int> folders;
    std::vector<std::pair<int, std::string>> files;
    ~Files() {
        for (int folder : folders)
            ::close(folder);
    }
};

void listBelow(int folder, Files& into) {
    into.folders.push_back(folder);
    DIR* directory = ::fdopendir(::fcntl(folder, F_DUPFD_CLOEXEC, 0));
    if (!directory)
        return;
    ::rewinddir(directory);
    std::vector<std::string> subFolders;
    while (const dirent* entry = ::readdir(directory)) {
        if (entry->d_name[0] == '.')
            continue;
        if (entry->d_type == DT_DIR)
            subFolders.emplace_back(entry->d_name);
        else if (entry->d_type == DT_REG)
            into.files.emplace_back(folder, entry->d_name);
    }
    ::closedir(directory);
    for (const std::string& name : subFolders) {
        const int child = ::openat(folder, name.c_str(), kReadFlags | O_DIRECTORY);
        if (child >= 0)
            listBelow(child, into);
    }
}

// A checksum of what was read, so that no way of reading can skip the work.
std::uint64_t readOne(int folder, const std::string& name) {
    const int descriptor = ::openat(folder, name.c_str(), kReadFlags);
    if (descriptor < 0)
        return 0;
    char header[kHeaderBytes];
    const ssize_t read = ::pread(descriptor, header, sizeof header, 0);
    struct stat info;
    ::fstat(descriptor, &info);
    ::close(descriptor);
    return static_cast<std::uint64_t>(std::max<ssize_t>(read, 0)) +
           static_cast<std::uint64_t>(info.st_size & 1);
}

std::uint64_t singleThread(const std::string& root) {
    Files listed;
    listBelow(::open(root.c_str(), kReadFlags | O_DIRECTORY), listed);
    std::uint64_t sum = 0;
    for (const auto& [folder, name] : listed.files)
        sum += readOne(folder, name);
    return sum;
}

std::uint64_t threadPool(const std::string& root, unsigned threads) {
    Files listed;
    listBelow(::open(root.c_str(), kReadFlags | O_DIRECTORY), listed);
    std::atomic<std::size_t> next{0};
    std::atomic<std::uint64_t> sum{0};
    std::vector<std::thread> pool;
    for (unsigned i = 0; i < threads; ++i)
        pool.emplace_back([&] {
            std::uint64_t own = 0;
            // A few files per claim, as the scan's readers do.
            for (;;) {
                const std::size_t first = next.fetch_add(8);
                if (first >= listed.files.size())
                    break;
                const std::size_t end = std::min(first + 8, listed.files.size());
                for (std::size_t i = first; i < end; ++i)
                    own += readOne(listed.files[i].first, listed.files[i].second);
            }
            sum += own;
        });
    for (std::thread& thread : pool)
        thread.join();
    return sum;
}

// One file in flight: opened first, then read, status and close linked so that the close
// runs whatever the read and the status call gave.
struct InFlight {
    std::size_t file = 0;
    int descriptor = -1;
    int pending = 0;
    char header[kHeaderBytes];
    struct statx status;
    std::uint64_t read = 0;
};

std::uint64_t uringRing(const std::string& root, unsigned depth) {
    Files listed;
    listBelow(::open(root.c_str(), kReadFlags | O_DIRECTORY), listed);
    io_uring ring;
    if (io_uring_queue_init(depth * 4, &ring, 0) != 0) {
        std::fprintf(stderr, "io_uring_queue_init failed\n");
        return 0;
    }
    std::vector<InFlight> slots(depth);
    std::vector<InFlight*> free;
    for (InFlight& slot : slots)
        free.push_back(&slot);
    std::size_t next = 0;
    std::size_t active = 0;
    std::uint64_t sum = 0;
    auto startOpen = [&](InFlight* slot) {
        slot->file = next++;
        slot->pending = 1;
        slot->read = 0;
        io_uring_sqe* sqe = io_uring_get_sqe(&ring);
        const auto& [folder, name] = listed.files[slot->file];
        io_uring_prep_openat(sqe, folder, name.c_str(), kReadFlags, 0);
        io_uring_sqe_set_data(sqe, slot);
        ++active;
    };
    auto startReads = [&](InFlight* slot) {
        slot->pending = 3;
        io_uring_sqe* read = io_uring_get_sqe(&ring);
        io_uring_prep_read(read, slot->descriptor, slot->header, kHeaderBytes, 0);
        read->flags |= IOSQE_IO_HARDLINK;
        io_uring_sqe_set_data(read, slot);
        io_uring_sqe* status = io_uring_get_sqe(&ring);
        io_uring_prep_statx(status, slot->descriptor, "", AT_EMPTY_PATH, STATX_SIZE | STATX_MTIME,
                            &slot->status);
        status->flags |= IOSQE_IO_HARDLINK;
        io_uring_sqe_set_data(status, reinterpret_cast<char*>(slot) + 1);
        io_uring_sqe* close = io_uring_get_sqe(&ring);
        io_uring_prep_close(close, slot->descriptor);
        io_uring_sqe_set_data(close, reinterpret_cast<char*>(slot) + 2);
    };
    while (next < listed.files.size() || active > 0) {
        while (!free.empty() && next < listed.files.size()) {
            startOpen(free.back());
            free.pop_back();
        }
        io_uring_submit_and_wait(&ring, 1);
        io_uring_cqe* cqe;
        unsigned head;
        unsigned seen = 0;
        io_uring_for_each_cqe(&ring, head, cqe) {
            ++seen;
            const auto tagged = reinterpret_cast<std::uintptr_t>(io_uring_cqe_get_data(cqe));
            auto* slot = reinterpret_cast<InFlight*>(tagged & ~std::uintptr_t{3});
            const unsigned step = tagged & 3;
            if (slot->pending == 1 && step == 0 && slot->descriptor < 0) {
                // The open.
                if (cqe->res < 0) {
                    --active;
                    free.push_back(slot);
                    continue;
                }
                slot->descriptor = cqe->res;
                startReads(slot);
                continue;
            }
            if (step == 0)
                slot->read = static_cast<std::uint64_t>(std::max(cqe->res, 0));
            if (step == 1 && cqe->res == 0)
                slot->read += slot->status.stx_size & 1;
            if (--slot->pending == 0) {
                sum += slot->read;
                slot->descriptor = -1;
                --active;
                free.push_back(slot);
            }
        }
        io_uring_cq_advance(&ring, seen);
    }
    io_uring_queue_exit(&ring);
    return sum;
}

bool dropPageCache() {
    ::sync();
    std::ofstream control("/proc/sys/vm/drop_caches");
    control << "3\n";
    control.flush();
    return static_cast<bool>(control);
}

std::string loadAverage() {
    std::ifstream file("/proc/loadavg");
    std::string one, five, fifteen;
    file >> one >> five >> fifteen;
    return one + " " + five + " " + fifteen;
}

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
        {"(a) one thread: openat/pread/fstat/close", [&] { return singleThread(root); }},
        {"(b) thread pool, same calls", [&] { return threadPool(root, workers); }},
        {"(c) io_uring ring: openat; read+statx+close", [&] { return uringRing(root, depth); }},
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

    const std::string loadBefore = loadAverage();
    std::uint64_t sums[4] = {};
    // Warms the caches, and the scan lowers the priority of the process for every round after.
    for (std::size_t i = 0; i < measured.size(); ++i)
        (void)seconds(measured[i].work, sums[i]);
    for (int round = 0; round < setting("TAMBREL_BENCH_WARM_ROUNDS", 5); ++round)
        for (Measured& item : measured) {
            std::uint64_t sum = 0;
            item.warm = std::min(item.warm, seconds(item.work, sum));
        }
    const bool cold = setting("TAMBREL_BENCH_COLD", 1) != 0 && ::geteuid() == 0;
    if (cold)
        for (int round = 0; round < setting("TAMBREL_BENCH_COLD_ROUNDS", 3); ++round)
            for (Measured& item : measured) {
                if (!dropPageCache())
                    break;
                std::uint64_t sum = 0;
                item.cold = std::min(item.cold, seconds(item.work, sum));
            }
    tambrel::installUserDialogs(nullptr);

    std::printf("cores                         %u\n", std::thread::hardware_concurrency());
    std::printf("load average before, after    %s, %s\n", loadBefore.c_str(),
                loadAverage().c_str());
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
