#include "platform/testing/read_strategies.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <liburing.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

namespace tambrel::testing {
namespace {

constexpr int kReadFlags = O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY;
constexpr unsigned kHeaderBytes = 38;

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

} // namespace

std::uint64_t readHeadersOneByOne(const std::string& root) {
    Files listed;
    listBelow(::open(root.c_str(), kReadFlags | O_DIRECTORY), listed);
    std::uint64_t sum = 0;
    for (const auto& [folder, name] : listed.files)
        sum += readOne(folder, name);
    return sum;
}

std::uint64_t readHeadersWithThreads(const std::string& root, unsigned threads) {
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

std::uint64_t readHeadersThroughRing(const std::string& root, unsigned depth) {
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

} // namespace tambrel::testing
