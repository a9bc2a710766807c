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
// bytes into the record's buffer before it posts the completion, and that thread reads them
// after it has seen the completion (liburing reads the completion ring's tail with acquire
// ordering). ThreadSanitizer sees neither the kernel's writes nor that ordering, and has no need
// to: from add() to the file's last call no other thread of the program reaches the record, and
// whoever hands it over before and takes it back after does so through its own locks.
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

// What a file's record holds while it is in flight: the handle is the open file's descriptor
// (or -1), the status is taken from statx as soon as the file is open.
struct HeadReads::State {
    io_uring ring{};
    bool ringSetUp = false;
    std::size_t headBytes = 0;
    std::size_t capacity = 0;
    std::size_t inFlight = 0;
    // A head buffer for each file in flight, lent from add() until the file's last call.
    std::vector<std::byte> buffers;
    std::vector<std::byte*> freeBuffers;
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

    static Stage stageOf(const HeadRead& read) { return static_cast<Stage>(read.stage_); }
    static void setStage(HeadRead& read, Stage stage) {
        read.stage_ = static_cast<std::uint8_t>(stage);
    }
    static int descriptorOf(const HeadRead& read) { return static_cast<int>(read.handle_); }

    io_uring_sqe* nextEntry() {
        io_uring_sqe* entry = io_uring_get_sqe(&ring);
        if (!entry) {
            // Never while the ring has an entry for every file in flight; if it ever had not,
            // handing over what is prepared frees the entries.
            submit(0);
            entry = io_uring_get_sqe(&ring);
        }
        ++prepared;
        return entry;
    }

    void prepareOpen(HeadRead& read) {
        setStage(read, Stage::Opening);
        io_uring_sqe* entry = nextEntry();
        const int folder = read.folder ? static_cast<int>(handleOf(*read.folder)) : AT_FDCWD;
        const int flags = readOnlyOpenFlags();
        read.keepsAccessTime_ = (flags & O_NOATIME) != 0;
        io_uring_prep_openat(entry, folder, read.name.c_str(), flags, 0);
        io_uring_sqe_set_data(entry, &read);
    }

    void prepareRead(HeadRead& read) {
        setStage(read, Stage::Reading);
        io_uring_sqe* entry = nextEntry();
        io_uring_prep_read(entry, descriptorOf(read), read.head_, static_cast<unsigned>(headBytes),
                           0);
        io_uring_sqe_set_data(entry, &read);
    }

    void prepareClose(HeadRead& read, int descriptor) {
        setStage(read, Stage::Closing);
        io_uring_sqe* entry = nextEntry();
        io_uring_prep_close(entry, descriptor);
        io_uring_sqe_set_data(entry, &read);
    }

    void release(HeadRead& read) {
        setStage(read, Stage::Free);
        freeBuffers.push_back(read.head_);
        read.head_ = nullptr;
        --inFlight;
    }

    // Hands the prepared requests over and waits for `wanted` completions. A signal or a
    // passing shortage of kernel memory is waited out; the ring has room for every completion
    // of the files in flight, so it never overflows.
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

    Result<std::span<const std::byte>> readSynchronously(HeadRead& read, std::size_t from) {
        ReadOnlyFile file = borrowedFile(read.handle_);
        const Result<std::size_t> count =
            file.readAt(from, std::span<std::byte>(read.head_ + from, headBytes - from));
        (void)returnedHandle(file);
        if (!count)
            return count.failure();
        return std::span<const std::byte>(read.head_, from + count.value());
    }

    // What the queue's read gave, completed as ReadOnlyFile::readAt completes it: a short read
    // goes on from where it stopped, an interrupted one starts again. A read that reached the
    // end the status gave is whole: a file shorter than the head (most of a server's short
    // prompts) would otherwise cost a second read that only hears the end of the file.
    Result<std::span<const std::byte>> headOf(HeadRead& read, int result) {
        if (result == -EINTR)
            return readSynchronously(read, 0);
        if (result < 0)
            return Failure::fromErrno(-result);
        const auto count = static_cast<std::size_t>(result);
        std::size_t whole = headBytes;
        if (read.statusError_ == 0 && read.status_.size >= 0)
            whole = std::min<std::size_t>(headBytes, static_cast<std::uint64_t>(read.status_.size));
        if (count > 0 && count < whole)
            return readSynchronously(read, count);
        return std::span<const std::byte>(read.head_, std::min(count, headBytes));
    }

    void tellHeadRead(HeadRead& read, const Result<std::span<const std::byte>>& head,
                      Client& client) {
        const Result<FileStatus> status =
            read.statusError_ != 0 ? Result<FileStatus>(Failure::fromErrno(read.statusError_))
                                   : Result<FileStatus>(read.status_);
        ReadOnlyFile file = borrowedFile(read.handle_);
        read.handle_ = -1;
        client.headRead(read, file, head, status);
        if (kClosesThroughQueue) {
            prepareClose(read, static_cast<int>(returnedHandle(file)));
            return;
        }
        const Status closed = file.close();
        release(read);
        client.closed(read, closed);
    }

    void tellClosed(HeadRead& read, int result, Client& client) {
        release(read);
        client.closed(read, closeOutcome(result < 0 ? -result : 0));
    }

    void completed(HeadRead& read, int result, Client& client) {
        switch (stageOf(read)) {
        case Stage::Opening: {
            if (result < 0 && refusedForTheAccessTime(read.keepsAccessTime_, -result)) {
                prepareOpen(read);
                return;
            }
            if (result < 0) {
                release(read);
                client.notOpened(read, Failure::fromErrno(-result));
                return;
            }
            read.handle_ = result;
            // The status comes before the read: it tells whether the queue's read would read
            // what pread reads. It is taken here rather than through the queue, whose statx
            // always runs on a kernel worker thread: that hand-over costs more than the call,
            // which needs no disk once the file is open.
            struct statx status {};
            read.statusError_ =
                ::statx(result, "", AT_EMPTY_PATH, kStatusFields, &status) == 0 ? 0 : errno;
            read.regularFile_ = read.statusError_ == 0 && S_ISREG(status.stx_mode);
            if (read.statusError_ == 0)
                read.status_ =
                    FileStatus{static_cast<std::int64_t>(status.stx_size),
                               ::timespec{static_cast<std::time_t>(status.stx_mtime.tv_sec),
                                          static_cast<long>(status.stx_mtime.tv_nsec)}};
            if (read.regularFile_) {
                prepareRead(read);
                return;
            }
            // A FIFO, a socket, a device or a folder put in the file's place: pread refuses
            // what the queue would read (a FIFO's data, or a wait for it), so pread it is.
            tellHeadRead(read, readSynchronously(read, 0), client);
            return;
        }
        case Stage::Reading:
            tellHeadRead(read, headOf(read, result), client);
            return;
        case Stage::Closing:
            tellClosed(read, result, client);
            return;
        case Stage::Free:
            return;
        }
    }

    // Every completion there is now, in the order posted.
    void takeCompletions(const auto& handle) {
        io_uring_cqe* completion = nullptr;
        while (io_uring_peek_cqe(&ring, &completion) == 0) {
            auto* read = static_cast<HeadRead*>(io_uring_cqe_get_data(completion));
            const int result = completion->res;
            io_uring_cqe_seen(&ring, completion);
            --submitted;
            if (read)
                handle(*read, result);
        }
    }

    // The kernel may still write into the records: every request ends before they are given
    // back, and what was opened is closed.
    void drain() {
        while (submitted + prepared > 0) {
            submit(1);
            takeCompletions([this](HeadRead& read, int result) {
                if (stageOf(read) == Stage::Opening && result >= 0)
                    ::close(result);
                else if (stageOf(read) == Stage::Reading)
                    ::close(descriptorOf(read));
                read.handle_ = -1;
                release(read);
            });
        }
    }
};

Result<std::unique_ptr<HeadReads>> HeadReads::start(std::size_t depth, std::size_t headBytes) {
    auto state = std::make_unique<State>();
    const std::size_t slots = std::clamp<std::size_t>(depth, 1, kMostDepth);
    state->capacity = slots;
    state->headBytes = std::clamp<std::size_t>(headBytes, 1, kMostHeadBytes);
    state->buffers.resize(slots * state->headBytes);
    for (std::size_t slot = 0; slot < slots; ++slot)
        state->freeBuffers.push_back(state->buffers.data() + slot * state->headBytes);
    // One request per file is in flight at a time, so an entry per slot is enough; the
    // completion ring is twice as large.
    if (const int started = io_uring_queue_init(static_cast<unsigned>(slots), &state->ring, 0);
        started < 0)
        return Failure::fromErrno(-started);
    state->ringSetUp = true;
    if (!supportsFileOperations(state->ring))
        return Failure::fromErrno(EOPNOTSUPP);
    return std::unique_ptr<HeadReads>(new HeadReads(std::move(state)));
}

HeadReads::HeadReads(std::unique_ptr<State> state) : state_(std::move(state)) {}

HeadReads::~HeadReads() = default;

std::size_t HeadReads::capacity() const {
    return state_->capacity;
}

std::size_t HeadReads::inFlight() const {
    return state_->inFlight;
}

bool HeadReads::add(HeadRead& read) {
    if (state_->inFlight == state_->capacity)
        return false;
    ++state_->inFlight;
    read.head_ = state_->freeBuffers.back();
    state_->freeBuffers.pop_back();
    read.handle_ = -1;
    read.statusError_ = 0;
    read.regularFile_ = false;
    state_->prepareOpen(read);
    return true;
}

void HeadReads::advance(Client& client) {
    State& state = *state_;
    if (inFlight() == 0)
        return;
    state.submit(1);
    state.takeCompletions(
        [&](HeadRead& read, int result) { state.completed(read, result, client); });
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
