// The heads of many files read at once through the system's own asynchronous queue (io_uring on
// Linux), driven by one thread: for each file one open relative to its folder, one status call
// on the open file, one read of its first bytes and one close, with up to `capacity()` files in
// flight. The opens, reads and closes go through the queue; the status call, which needs no
// disk once the file is open and which the queue would hand to a kernel worker thread, is made
// by the driving thread itself. Where the system has no such queue (Windows, a kernel without
// io_uring, without these operations in it, or one that refuses it to this process) start()
// fails, and the caller reads the files itself.
//
// Every outcome is the one the synchronous calls of ReadOnlyFile give: the same open flags, the
// same failures, short reads completed the same way; a file that is no regular file by the
// time it is open (a FIFO or a folder put in a file's place) has its head read synchronously, as
// ReadOnlyFile::readAt reads it, since the queue would read from a FIFO instead of refusing to.
#pragma once

#include "common/result.h"
#include "platform/files/file_reads.h"
#include "platform/files/file_status.h"
#include "platform/files/folder_listing.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace tambrel::platform {

// The most bytes one head read asks for.
inline constexpr std::size_t kMostHeadBytes = 512;

// One file's read: the caller's own record, given to HeadReads::add and handed back with each
// of the file's calls (the ring carries its address), so nothing needs looking up in between.
// It stays where it is, untouched by the caller, from add() until the file's last call.
class HeadRead {
public:
    // The file `name` of `folder`, which must stay open until the file's last call, or the host
    // path `name` when `folder` is null.
    const OpenFolder* folder = nullptr;
    std::string name;

private:
    friend class HeadReads;
    // The queue's own, from add() until the file's last call.
    std::uint8_t stage_ = 0;
    bool regularFile_ = false;
    // Whether the open asked for the file's access time to be kept.
    bool keepsAccessTime_ = false;
    int statusError_ = 0;
    std::intptr_t handle_ = -1;
    FileStatus status_{};
    // One of the queue's own buffers while the file is in flight: the record itself stays
    // small, as callers keep and move many of them.
    std::byte* head_ = nullptr;
};

class HeadReads {
public:
    // What the driving thread is told about each file, in the order its calls finish, with the
    // record the file was added with.
    class Client {
    public:
        // The open failed: nothing else was tried, and this is the file's last call.
        virtual void notOpened(HeadRead& read, const Failure& failure) = 0;
        // The file is open, its status taken and its head read (fewer bytes at its end, or the
        // read's failure). `file` reads more of it until this returns; the close follows.
        virtual void headRead(HeadRead& read, const ReadOnlyFile& file,
                              const Result<std::span<const std::byte>>& head,
                              const Result<FileStatus>& status) = 0;
        // The close: the file's last call.
        virtual void closed(HeadRead& read, const Status& closed) = 0;

    protected:
        ~Client() = default;
    };

    // A queue for up to `depth` files at once reading `headBytes` (at most kMostHeadBytes) of
    // each, for the calling thread alone. The system's own workers that serve it take the
    // calling thread's CPU and I/O priority, so it is lowered first where that is wanted.
    static Result<std::unique_ptr<HeadReads>> start(std::size_t depth, std::size_t headBytes);

    HeadReads(const HeadReads&) = delete;
    HeadReads& operator=(const HeadReads&) = delete;
    // Waits for the files still in flight and closes them, telling no one.
    ~HeadReads();

    std::size_t capacity() const;
    std::size_t inFlight() const;

    // Starts on the file `read` names. False, and nothing started, when capacity() files are
    // in flight.
    [[nodiscard]] bool add(HeadRead& read);

    // Hands what was added to the system, waits until at least one file in flight has moved on
    // and tells `client` about every file that has. Returns at once when nothing is in flight.
    void advance(Client& client);

private:
    struct State;
    explicit HeadReads(std::unique_ptr<State> state);

    // The handles the queue works with, through the friendship of the folder and file classes.
    static std::intptr_t handleOf(const OpenFolder& folder);
    static ReadOnlyFile borrowedFile(std::intptr_t handle);
    static std::intptr_t returnedHandle(ReadOnlyFile& file);

    std::unique_ptr<State> state_;
};

} // namespace tambrel::platform
