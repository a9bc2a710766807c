#include "platform/files/head_reads.h"
#include "platform/files/posix_entries.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <liburing.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

// Thread safety: a queue belongs to the one thread that drives it. The kernel writes the head
// bytes into a slot's buffer before it posts the completion, and only that thread touches them,
// after it has seen the completion (liburing reads the completion ring's tail with acquire
// ordering). ThreadSanitizer sees neither the kernel's writes nor that ordering, and has no need
// to: no other thread of the program ever reaches these buffers.
//
// Files are closed through the queue as well: on a virtual machine whose every system call is
// dear, the close handed over with the next batch spares each file a call of its own. Under
// ThreadSanitizer they are closed with close() instead. It keeps a record of each descriptor
// number, cleared by every close it sees; the queue's opens are out of its sight, which is
// harmless after such a close, but a close through the queue would be too, and the next thread
// given the number would seem to race with this one.

namespace tambrel::platform {
namespace {

// Past a few thousand requests in flight a disk gains nothing, and the kernel's memory for the
// ring keeps growing.
constexpr std::size_t kMostDepth = 4096;

enum class Stage : std::uint8_t { Free, Opening, Reading, Closing };

// GCC says it builds for ThreadSanitizer with a macro, clang through __has_feature.
#if defined(__SANITIZE_THREAD__)
#define TAMBREL_UNDER_THREAD_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define TAMBREL_UNDER_THREAD_SANITIZER 1
#endif
#endif
#ifdef TAMBREL_UNDER_THREAD_SANITIZER
constexpr bool kClosesThroughQueue = false;
#else
constexpr bool kClosesThroughQueue = true;
#endif

constexpr unsigned kStatusFields = STATX_TYPE | STATX_SIZE | STATX_MTIME;

// Kernels from before 5.6 have io_uring without opens and closes; a read would be refused too.
bool supportsFileOperations(io_uring& ring) {
    io_uring_probe* probe = io_uring_get_probe_ring(&ring);
    if (!probe)
        return false;
    const bool supported = io_uring_opcode_supported(probe, IORING_OP_OPENAT) &&
                           io_uring_opcode_supported(probe, IORING_OP_READ) &&
                           io_uring_opcode_supported(probe, IORING_OP_CLOSE);
    io_uring_free_probe(probe);
    return supported;
}

} // namespace

struct HeadReads::State {
    struct Slot {
        std::uint64_t tag = 0;
        Stage stage = Stage::Free;
        int folder = AT_FDCWD;
        std::string name;
        int descriptor = -1;
        int statusError = 0;
        struct statx status {};
        std::array<std::byte, kMostHeadBytes> head{};
    };

    io_uring ring{};
    bool ringSetUp = false;
    std::size_t headBytes = 0;
    std::vector<Slot> slots;
    std::vector<std::uint32_t> freeSlots;
    // Requests handed to the kernel whose completion has not been seen.
    std::size_t submitted = 0;
    // Prepared and not yet handed over.
    std::size_t prepared = 0;

    ~State() {
        if (!ringSetUp)
            return;
        drain();
        io_uring_queue_exit(&ring);
    }

    io_uring_sqe* nextEntry() {
        io_uring_sqe* entry = io_uring_get_sqe(&ring);
        if (!entry) {
            // Never while the ring has an entry for every slot; if it ever had not, handing
            // over what is prepared frees the entries.
            submit(0);
            entry = io_uring_get_sqe(&ring);
        }
        ++prepared;
        return entry;
    }

    void prepareOpen(std::uint32_t index) {
        Slot& slot = slots[index];
        slot.stage = Stage::Opening;
        io_uring_sqe* entry = nextEntry();
        io_uring_prep_openat(entry, slot.folder, slot.name.c_str(), kReadOnlyOpenFlags, 0);
        io_uring_sqe_set_data64(entry, index);
    }

    void prepareRead(std::uint32_t index) {
        Slot& slot = slots[index];
        slot.stage = Stage::Reading;
        io_uring_sqe* entry = nextEntry();
        io_uring_prep_read(entry, slot.descriptor, slot.head.data(),
                           static_cast<unsigned>(headBytes), 0);
        io_uring_sqe_set_data64(entry, index);
    }

    void prepareClose(std::uint32_t index, int descriptor) {
        Slot& slot = slots[index];
        slot.stage = Stage::Closing;
        io_uring_sqe* entry = nextEntry();
        io_uring_prep_close(entry, descriptor);
        io_uring_sqe_set_data64(entry, index);
    }

    void release(std::uint32_t index) {
        slots[index].stage = Stage::Free;
        freeSlots.push_back(index);
    }

    // Hands the prepared requests over and waits for `wanted` completions. A signal or a
    // passing shortage of kernel memory is waited out; the ring has room for every completion
    // of the slots, so it never overflows.
    void submit(unsigned wanted) {
        for (;;) {
            const int handed = io_uring_submit_and_wait(&ring, wanted);
            if (handed >= 0) {
                const std::size_t count = std::min<std::size_t>(prepared, handed);
                submitted += count;
                prepared -= count;
                return;
            }
            if (handed == -EINTR)
                continue;
            // EAGAIN or EBUSY: what is in flight frees the kernel's resources as it ends.
            io_uring_cqe* completion = nullptr;
            if (submitted > 0 && io_uring_wait_cqe(&ring, &completion) == 0)
                return;
            const timespec pause{0, 1000000};
            ::nanosleep(&pause, nullptr);
        }
    }

    Result<std::span<const std::byte>> readSynchronously(Slot& slot, std::size_t from) {
        ReadOnlyFile file = borrowedFile(slot.descriptor);
        const Result<std::size_t> read =
            file.readAt(from, std::span<std::byte>(slot.head.data() + from, headBytes - from));
        (void)returnedHandle(file);
        if (!read)
            return read.failure();
        return std::span<const std::byte>(slot.head.data(), from + read.value());
    }

    // What the queue's read gave, completed as ReadOnlyFile::readAt completes it: a short read
    // goes on from where it stopped, an interrupted one starts again.
    Result<std::span<const std::byte>> headOf(Slot& slot, int result) {
        if (result == -EINTR)
            return readSynchronously(slot, 0);
        if (result < 0)
            return Failure::fromErrno(-result);
        const auto count = static_cast<std::size_t>(result);
        if (count > 0 && count < headBytes)
            return readSynchronously(slot, count);
        return std::span<const std::byte>(slot.head.data(), std::min(count, headBytes));
    }

    void tellHeadRead(std::uint32_t index, const Result<std::span<const std::byte>>& head,
                      Client& client) {
        Slot& slot = slots[index];
        const Result<FileStatus> status =
            slot.statusError != 0
                ? Result<FileStatus>(Failure::fromErrno(slot.statusError))
                : Result<FileStatus>(
                      FileStatus{static_cast<std::int64_t>(slot.status.stx_size),
                                 ::timespec{static_cast<std::time_t>(slot.status.stx_mtime.tv_sec),
                                            static_cast<long>(slot.status.stx_mtime.tv_nsec)}});
        const std::uint64_t tag = slot.tag;
        ReadOnlyFile file = borrowedFile(slot.descriptor);
        slot.descriptor = -1;
        client.headRead(tag, file, head, status);
        if (kClosesThroughQueue) {
            prepareClose(index, static_cast<int>(returnedHandle(file)));
            return;
        }
        const Status closed = file.close();
        release(index);
        client.closed(tag, closed);
    }

    void tellClosed(std::uint32_t index, int result, Client& client) {
        const std::uint64_t tag = slots[index].tag;
        release(index);
        client.closed(tag, closeOutcome(result < 0 ? -result : 0));
    }

    void completed(std::uint32_t index, int result, Client& client) {
        Slot& slot = slots[index];
        switch (slot.stage) {
        case Stage::Opening:
            if (result < 0) {
                const std::uint64_t tag = slot.tag;
                release(index);
                client.notOpened(tag, Failure::fromErrno(-result));
                return;
            }
            slot.descriptor = result;
            // The status comes before the read: it tells whether the queue's read would read
            // what pread reads. It is taken here rather than through the queue, whose statx
            // always runs on a kernel worker thread: that hand-over costs more than the call,
            // which needs no disk once the file is open.
            slot.statusError =
                ::statx(slot.descriptor, "", AT_EMPTY_PATH, kStatusFields, &slot.status) == 0
                    ? 0
                    : errno;
            if (slot.statusError == 0 && S_ISREG(slot.status.stx_mode)) {
                prepareRead(index);
                return;
            }
            // A FIFO, a socket, a device or a folder put in the file's place: pread refuses
            // what the queue would read (a FIFO's data, or a wait for it), so pread it is.
            tellHeadRead(index, readSynchronously(slot, 0), client);
            return;
        case Stage::Reading:
            tellHeadRead(index, headOf(slot, result), client);
            return;
        case Stage::Closing:
            tellClosed(index, result, client);
            return;
        case Stage::Free:
            return;
        }
    }

    // Every completion there is now, in the order posted.
    void takeCompletions(const auto& handle) {
        io_uring_cqe* completion = nullptr;
        while (io_uring_peek_cqe(&ring, &completion) == 0) {
            const auto index = static_cast<std::uint32_t>(io_uring_cqe_get_data64(completion));
            const int result = completion->res;
            io_uring_cqe_seen(&ring, completion);
            --submitted;
            if (index < slots.size())
                handle(index, result);
        }
    }

    // The kernel may still write into the slots: every request ends before they are freed, and
    // what was opened is closed.
    void drain() {
        while (submitted + prepared > 0) {
            submit(1);
            takeCompletions([this](std::uint32_t index, int result) {
                Slot& slot = slots[index];
                if (slot.stage == Stage::Opening && result >= 0)
                    ::close(result);
                else if (slot.stage == Stage::Reading)
                    ::close(slot.descriptor);
                slot.descriptor = -1;
                release(index);
            });
        }
    }
};

Result<std::unique_ptr<HeadReads>> HeadReads::start(std::size_t depth, std::size_t headBytes) {
    auto state = std::make_unique<State>();
    const std::size_t slots = std::clamp<std::size_t>(depth, 1, kMostDepth);
    state->headBytes = std::clamp<std::size_t>(headBytes, 1, kMostHeadBytes);
    // One request per file is in flight at a time, so an entry per slot is enough; the
    // completion ring is twice as large.
    if (const int started = io_uring_queue_init(static_cast<unsigned>(slots), &state->ring, 0);
        started < 0)
        return Failure::fromErrno(-started);
    state->ringSetUp = true;
    if (!supportsFileOperations(state->ring))
        return Failure::fromErrno(EOPNOTSUPP);
    state->slots.resize(slots);
    state->freeSlots.reserve(slots);
    for (std::size_t i = slots; i > 0; --i)
        state->freeSlots.push_back(static_cast<std::uint32_t>(i - 1));
    return std::unique_ptr<HeadReads>(new HeadReads(std::move(state)));
}

HeadReads::HeadReads(std::unique_ptr<State> state) : state_(std::move(state)) {}

HeadReads::~HeadReads() = default;

std::size_t HeadReads::capacity() const {
    return state_->slots.size();
}

std::size_t HeadReads::inFlight() const {
    return state_->slots.size() - state_->freeSlots.size();
}

bool HeadReads::add(const OpenFolder* folder, std::string_view name, std::uint64_t tag) {
    if (state_->freeSlots.empty())
        return false;
    const std::uint32_t index = state_->freeSlots.back();
    state_->freeSlots.pop_back();
    State::Slot& slot = state_->slots[index];
    slot.tag = tag;
    slot.folder = folder ? static_cast<int>(handleOf(*folder)) : AT_FDCWD;
    slot.name.assign(name);
    slot.descriptor = -1;
    slot.statusError = 0;
    state_->prepareOpen(index);
    return true;
}

void HeadReads::advance(Client& client) {
    State& state = *state_;
    if (inFlight() == 0)
        return;
    state.submit(1);
    state.takeCompletions(
        [&](std::uint32_t index, int result) { state.completed(index, result, client); });
}

std::intptr_t HeadReads::handleOf(const OpenFolder& folder) {
    return folder.handle_.get();
}

ReadOnlyFile HeadReads::borrowedFile(std::intptr_t handle) {
    return ReadOnlyFile(handle);
}

std::intptr_t HeadReads::returnedHandle(ReadOnlyFile& file) {
    return file.handle_.release();
}

} // namespace tambrel::platform
