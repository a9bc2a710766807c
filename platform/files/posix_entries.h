// The rules the POSIX side applies to every directory entry and status it meets: how a file is
// opened for reading, what kind an entry is, what its status says, and how a write and a close
// are reported.
#pragma once

#include "common/result.h"
#include "platform/files/file_status.h"

#include <atomic>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace tambrel::platform {

// Never waits (a FIFO put in a file's place opens at once), never becomes the controlling
// terminal, never leaks into a child.
inline constexpr int kReadOnlyOpenFlags = O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY;

// Reading a file or listing a folder would stamp its access time, which on a server tells when
// a recording was last played (and "relatime" stamps it at least once a day): the program asks
// the kernel to leave it. Only an entry's owner or the superuser may ask; anyone else's open is
// refused with EPERM, and from that first refusal on the program's opens no longer ask.
inline std::atomic<bool> accessTimeRequestRefused{false};

inline int readOnlyOpenFlags() {
    return kReadOnlyOpenFlags |
           (accessTimeRequestRefused.load(std::memory_order_relaxed) ? 0 : O_NOATIME);
}

// Whether an open that failed with `error`, having `asked` for the access time to be kept, is
// to be made again without asking.
inline bool refusedForTheAccessTime(bool asked, int error) {
    if (error != EPERM || !asked)
        return false;
    accessTimeRequestRefused.store(true, std::memory_order_relaxed);
    return true;
}

// `path` (relative to the open folder `folder`, or AT_FDCWD) opened for reading as above;
// -1 with errno set when it cannot be.
inline int openForReading(int folder, const char* path, int moreFlags = 0) {
    const int flags = readOnlyOpenFlags() | moreFlags;
    const int descriptor = ::openat(folder, path, flags);
    if (descriptor < 0 && refusedForTheAccessTime((flags & O_NOATIME) != 0, errno))
        return ::openat(folder, path, flags & ~O_NOATIME);
    return descriptor;
}

// What a close that failed with `error` (0: it did not) reports. After EINTR the descriptor is
// gone on Linux, so that is no failure, and retrying could close another file's.
inline Status closeOutcome(int error) {
    if (error != 0 && error != EINTR)
        return Failure::fromErrno(error);
    return {};
}

// Every byte of `bytes` to `descriptor`: a short write is continued and an interrupted one
// retried; a write that takes nothing fails with `noProgressError`.
inline Status writeAll(int descriptor, std::string_view bytes, int noProgressError) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(descriptor, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return Failure::fromErrno();
        }
        if (written == 0)
            return Failure::fromErrno(noProgressError);
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return {};
}

inline bool isDotEntry(const char* name) {
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

inline EntryKind kindOf(const struct stat& info) {
    if (S_ISREG(info.st_mode))
        return EntryKind::File;
    if (S_ISDIR(info.st_mode))
        return EntryKind::Folder;
    return EntryKind::Other; // FIFOs, sockets and devices
}

inline FileStatus statusOf(const struct stat& info) {
    return FileStatus{static_cast<std::int64_t>(info.st_size), info.st_mtim};
}

// The kind of `entry` of the folder open as `folderDescriptor`: a link counts as what it points
// to. A link that leads nowhere or round in a circle is a File, as Windows lists such an entry:
// opening it then fails and says why, like any unreadable file. Only links and file systems that
// do not fill in the entry's type cost a status call.
inline EntryKind kindOfEntry(int folderDescriptor, const dirent& entry) {
    switch (entry.d_type) {
    case DT_REG:
        return EntryKind::File;
    case DT_DIR:
        return EntryKind::Folder;
    case DT_LNK:
    case DT_UNKNOWN: {
        struct stat info;
        if (::fstatat(folderDescriptor, entry.d_name, &info, 0) == 0)
            return kindOf(info);
        if (errno != ENOENT && errno != ELOOP)
            return EntryKind::Other;
        const bool link = entry.d_type == DT_LNK || (::fstatat(folderDescriptor, entry.d_name,
                                                               &info, AT_SYMLINK_NOFOLLOW) == 0 &&
                                                     S_ISLNK(info.st_mode));
        return link ? EntryKind::File : EntryKind::Other;
    }
    default:
        return EntryKind::Other;
    }
}

// Calls `add(entry, kind)` for every entry of `directory` but "." and "..", in the order the
// system delivers them. Returns 0, or the error that ended the listing early.
template <typename Add> int forEachEntry(DIR* directory, Add&& add) {
    const int descriptor = ::dirfd(directory);
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(directory);
        if (!entry)
            return errno;
        if (!isDotEntry(entry->d_name))
            add(*entry, kindOfEntry(descriptor, *entry));
    }
}

} // namespace tambrel::platform
