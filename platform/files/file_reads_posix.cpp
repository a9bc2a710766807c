#include "platform/files/file_reads.h"
#include "platform/files/posix_entries.h"
#include "platform/files/whole_file_read.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tambrel::platform {

Result<ReadOnlyFile> ReadOnlyFile::open(const std::string& hostPath) {
    const int descriptor = openForReading(AT_FDCWD, hostPath.c_str());
    if (descriptor < 0)
        return Failure::fromErrno();
    return ReadOnlyFile(descriptor);
}

Result<std::size_t> ReadOnlyFile::readAt(std::uint64_t offset, std::span<std::byte> buffer) const {
    if (!handle_.valid())
        return Failure::fromErrno(EBADF);
    std::size_t total = 0;
    while (total < buffer.size()) {
        const ssize_t count = ::pread(static_cast<int>(handle_.get()), buffer.data() + total,
                                      buffer.size() - total, static_cast<off_t>(offset + total));
        if (count < 0) {
            if (errno == EINTR)
                continue;
            return Failure::fromErrno();
        }
        if (count == 0)
            break;
        total += static_cast<std::size_t>(count);
    }
    return total;
}

Result<FileStatus> ReadOnlyFile::status() const {
    struct stat info;
    if (!handle_.valid() || ::fstat(static_cast<int>(handle_.get()), &info) != 0)
        return Failure::fromErrno(!handle_.valid() ? EBADF : errno);
    return statusOf(info);
}

Status ReadOnlyFile::close() {
    return handle_.close();
}

Result<PathStatus> statusOfPath(const std::string& hostPath) {
    struct stat info;
    if (::stat(hostPath.c_str(), &info) != 0)
        return Failure::fromErrno();
    // The read-only attribute is the mode without write bits; judged by the mode, since the
    // superuser passes every access check.
    const bool readOnly = (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
    return PathStatus{kindOf(info), statusOf(info), readOnly};
}

bool pathExists(const std::string& hostPath) {
    return ::access(hostPath.c_str(), F_OK) == 0;
}

Result<std::vector<std::uint8_t>> readWholeFile(const std::string& hostPath,
                                                std::size_t sizeLimit) {
    Result<ReadOnlyFile> file = ReadOnlyFile::open(hostPath);
    if (!file)
        return file.failure();
    struct stat info {};
    if (::fstat(static_cast<int>(file->handle_.get()), &info) != 0)
        return Failure::fromErrno();
    if (!S_ISREG(info.st_mode))
        return Failure::fromErrno(S_ISDIR(info.st_mode) ? EISDIR : EINVAL);
    return readFileOfSize(*file, info.st_size, sizeLimit);
}

} // namespace tambrel::platform
