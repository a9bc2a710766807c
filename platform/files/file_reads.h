// Reading files without ever changing, locking or waiting on them: an open file for the small
// reads at the head of a recording, status calls on paths, and whole-file reads of bounded size.
#pragma once

#include "common/result.h"
#include "platform/files/file_status.h"
#include "platform/files/native_handle.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tambrel::platform {

// A file opened for reading only. The open never blocks (FIFOs) and, on Windows, shares read,
// write and delete, so that a file the server is writing is still read and never locked.
class OpenFolder;

class ReadOnlyFile {
public:
    static Result<ReadOnlyFile> open(const std::string& hostPath);
    // The file `name` of an open folder: relative to its handle where the system has one, so
    // that the path's folders are not looked up again for every file.
    static Result<ReadOnlyFile> openIn(const OpenFolder& folder, const std::string& name);

    // Fills the front of `buffer` from `offset`; fewer bytes than asked only at the end.
    Result<std::size_t> readAt(std::uint64_t offset, std::span<std::byte> buffer) const;
    // Size and time of the open file.
    Result<FileStatus> status() const;
    // Closes now, reporting a failed close; the destructor closes silently otherwise.
    Status close();

private:
    friend Result<std::vector<std::uint8_t>> readWholeFile(const std::string&, std::size_t);
    friend class HeadReads;
    explicit ReadOnlyFile(std::intptr_t handle) : handle_(handle) {}
    NativeHandle handle_;
};

// Kind, size, time and read-only state of `hostPath`, links followed.
Result<PathStatus> statusOfPath(const std::string& hostPath);

// True when `hostPath` names anything at all (a dangling link included on POSIX).
bool pathExists(const std::string& hostPath);

// The whole of a regular file, with one open, one status call, reads to its end and one close:
// a file that changes meanwhile yields what one moment held, never a mix. A file larger than
// `sizeLimit` (or grown past it while read) is refused, so memory stays bounded.
Result<std::vector<std::uint8_t>> readWholeFile(const std::string& hostPath, std::size_t sizeLimit);

} // namespace tambrel::platform
