#include "platform/files/file_reads.h"
#include "platform/files/whole_file_read.h"
#include "platform/text/windows_text_win.h"

#include <algorithm>
#include <cerrno>
#include <windows.h>

namespace tambrel::platform {
namespace {

// 100-nanosecond intervals between 1601-01-01 and 1970-01-01.
constexpr std::int64_t kEpochDifference = 116444736000000000LL;

HANDLE asHandle(std::intptr_t handle) {
    return reinterpret_cast<HANDLE>(handle);
}

// Read, write and delete shared: the server may go on writing or replacing the file while we
// read its head, and nothing we do ever locks it.
HANDLE openForReading(const std::string& hostPath, DWORD extraFlags) {
    return ::CreateFileW(systemPath(hostPath).c_str(), GENERIC_READ,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | extraFlags, nullptr);
}

} // namespace

::timespec timespecFromFileTime(std::uint32_t low, std::uint32_t high) {
    const std::int64_t ticks = (static_cast<std::int64_t>(high) << 32 | low) - kEpochDifference;
    std::int64_t seconds = ticks / 10000000;
    std::int64_t remainder = ticks % 10000000;
    if (remainder < 0) {
        remainder += 10000000;
        --seconds;
    }
    ::timespec moment{};
    moment.tv_sec = static_cast<std::time_t>(seconds);
    moment.tv_nsec = static_cast<long>(remainder * 100);
    return moment;
}

Result<ReadOnlyFile> ReadOnlyFile::open(const std::string& hostPath) {
    const HANDLE file = openForReading(hostPath, 0);
    if (file == INVALID_HANDLE_VALUE)
        return lastWindowsFailure();
    // Low I/O priority for the reads, without lowering the CPU priority any further; a system
    // or file system that does not take the hint reads at normal priority.
    FILE_IO_PRIORITY_HINT_INFO hint{};
    hint.PriorityHint = IoPriorityHintLow;
    ::SetFileInformationByHandle(file, FileIoPriorityHintInfo, &hint, sizeof hint);
    return ReadOnlyFile(reinterpret_cast<std::intptr_t>(file));
}

Result<std::size_t> ReadOnlyFile::readAt(std::uint64_t offset, std::span<std::byte> buffer) const {
    if (!handle_.valid())
        return Failure::fromErrno(EBADF);
    std::size_t total = 0;
    while (total < buffer.size()) {
        OVERLAPPED position{};
        const std::uint64_t at = offset + total;
        position.Offset = static_cast<DWORD>(at & 0xFFFFFFFFu);
        position.OffsetHigh = static_cast<DWORD>(at >> 32);
        const DWORD wanted =
            static_cast<DWORD>(std::min<std::size_t>(buffer.size() - total, 1u << 30));
        DWORD got = 0;
        if (!::ReadFile(asHandle(handle_.get()), buffer.data() + total, wanted, &got, &position)) {
            const DWORD error = ::GetLastError();
            if (error == ERROR_HANDLE_EOF)
                break;
            return failureFromWindowsError(error);
        }
        if (got == 0)
            break;
        total += got;
    }
    return total;
}

Result<FileStatus> ReadOnlyFile::status() const {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!handle_.valid())
        return Failure::fromErrno(EBADF);
    if (!::GetFileInformationByHandle(asHandle(handle_.get()), &info))
        return lastWindowsFailure();
    FileStatus status;
    status.size = static_cast<std::int64_t>(static_cast<std::uint64_t>(info.nFileSizeHigh) << 32 |
                                            info.nFileSizeLow);
    status.lastModified = timespecFromFileTime(info.ftLastWriteTime.dwLowDateTime,
                                               info.ftLastWriteTime.dwHighDateTime);
    return status;
}

Status ReadOnlyFile::close() {
    return handle_.close();
}

Result<PathStatus> statusOfPath(const std::string& hostPath) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(systemPath(hostPath).c_str(), GetFileExInfoStandard, &data))
        return lastWindowsFailure();
    PathStatus status;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        status.kind = EntryKind::Folder;
    else if (data.dwFileAttributes & FILE_ATTRIBUTE_DEVICE)
        status.kind = EntryKind::Other;
    else
        status.kind = EntryKind::File;
    status.readOnly = (data.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0;
    status.status.size = static_cast<std::int64_t>(
        static_cast<std::uint64_t>(data.nFileSizeHigh) << 32 | data.nFileSizeLow);
    status.status.lastModified = timespecFromFileTime(data.ftLastWriteTime.dwLowDateTime,
                                                      data.ftLastWriteTime.dwHighDateTime);
    return status;
}

bool pathExists(const std::string& hostPath) {
    return ::GetFileAttributesW(systemPath(hostPath).c_str()) != INVALID_FILE_ATTRIBUTES;
}

Result<std::vector<std::uint8_t>> readWholeFile(const std::string& hostPath,
                                                std::size_t sizeLimit) {
    Result<ReadOnlyFile> file = ReadOnlyFile::open(hostPath);
    if (!file)
        return file.failure();
    if (::GetFileType(asHandle(file->handle_.get())) != FILE_TYPE_DISK)
        return Failure::fromErrno(EINVAL);
    Result<FileStatus> status = file->status();
    if (!status)
        return status.failure();
    return readFileOfSize(*file, status->size, sizeLimit);
}

} // namespace tambrel::platform
