#include "platform/folder_reader.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace tambrel::platform {
namespace {

constexpr std::intptr_t kClosed = -1;

// Never waits, never becomes the controlling terminal, never leaks into a child.
constexpr int kReadFlags = O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY;

int descriptorOf(std::intptr_t handle) {
    return static_cast<int>(handle);
}

FileStatus statusFrom(const struct stat& info) {
    return FileStatus{static_cast<std::int64_t>(info.st_size), info.st_mtim};
}

bool isDotEntry(const char* name) {
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

void closeQuietly(std::intptr_t handle) {
    if (handle != kClosed)
        ::close(descriptorOf(handle));
}

} // namespace

Result<OpenFolder> OpenFolder::open(const std::string& hostPath) {
    const int descriptor = ::open(hostPath.c_str(), kReadFlags | O_DIRECTORY);
    if (descriptor < 0)
        return Failure::fromErrno();
    return OpenFolder(descriptor);
}

Result<OpenFolder> OpenFolder::openIn(const OpenFolder& parent, const std::string& name) {
    const int descriptor =
        ::openat(descriptorOf(parent.handle_), name.c_str(), kReadFlags | O_DIRECTORY);
    if (descriptor < 0)
        return Failure::fromErrno();
    return OpenFolder(descriptor);
}

OpenFolder::OpenFolder(OpenFolder&& other) noexcept
    : handle_(std::exchange(other.handle_, kClosed)) {}

OpenFolder& OpenFolder::operator=(OpenFolder&& other) noexcept {
    if (this != &other) {
        closeQuietly(handle_);
        handle_ = std::exchange(other.handle_, kClosed);
    }
    return *this;
}

OpenFolder::~OpenFolder() {
    closeQuietly(handle_);
}

Result<std::vector<FolderItem>> OpenFolder::list() const {
    // The directory stream takes a descriptor of its own, so ours stays open for the files. A
    // copy rather than a new open of ".": a folder that can be read but not passed through
    // still names its entries.
    const int descriptor = descriptorOf(handle_);
    const int streamDescriptor = ::fcntl(descriptor, F_DUPFD_CLOEXEC, 0);
    if (streamDescriptor < 0)
        return Failure::fromErrno();
    DIR* directory = ::fdopendir(streamDescriptor);
    if (!directory) {
        const int error = errno;
        ::close(streamDescriptor);
        return Failure::fromErrno(error);
    }
    ::rewinddir(directory); // the copy shares the position of our descriptor

    std::vector<FolderItem> items;
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(directory);
        if (!entry) {
            const int error = errno;
            ::closedir(directory);
            if (error != 0)
                return Failure::fromErrno(error);
            return items;
        }
        if (isDotEntry(entry->d_name))
            continue;
        switch (entry->d_type) {
        case DT_REG:
            items.push_back({entry->d_name, EntryKind::File});
            break;
        case DT_DIR:
            items.push_back({entry->d_name, EntryKind::Folder});
            break;
        case DT_LNK:
        case DT_UNKNOWN: {
            // A link counts as what it points to; a dangling one is nothing.
            struct stat info;
            if (::fstatat(descriptor, entry->d_name, &info, 0) == 0) {
                if (S_ISREG(info.st_mode))
                    items.push_back({entry->d_name, EntryKind::File});
                else if (S_ISDIR(info.st_mode))
                    items.push_back({entry->d_name, EntryKind::Folder});
            }
            break;
        }
        default:
            break; // FIFOs, sockets and devices
        }
    }
}

Result<FileStatus> OpenFolder::statusOf(const std::string& name) const {
    struct stat info;
    if (::fstatat(descriptorOf(handle_), name.c_str(), &info, 0) != 0)
        return Failure::fromErrno();
    return statusFrom(info);
}

Result<OpenFile> OpenFile::open(const std::string& hostPath) {
    const int descriptor = ::open(hostPath.c_str(), kReadFlags);
    if (descriptor < 0)
        return Failure::fromErrno();
    return OpenFile(descriptor);
}

Result<OpenFile> OpenFile::openIn(const OpenFolder& folder, const std::string& name) {
    const int descriptor = ::openat(descriptorOf(folder.handle()), name.c_str(), kReadFlags);
    if (descriptor < 0)
        return Failure::fromErrno();
    return OpenFile(descriptor);
}

OpenFile::OpenFile(OpenFile&& other) noexcept : handle_(std::exchange(other.handle_, kClosed)) {}

OpenFile& OpenFile::operator=(OpenFile&& other) noexcept {
    if (this != &other) {
        closeQuietly(handle_);
        handle_ = std::exchange(other.handle_, kClosed);
    }
    return *this;
}

OpenFile::~OpenFile() {
    closeQuietly(handle_);
}

Result<std::size_t> OpenFile::readAt(std::uint64_t offset, std::span<std::byte> buffer) const {
    std::size_t total = 0;
    while (total < buffer.size()) {
        const ssize_t count = ::pread(descriptorOf(handle_), buffer.data() + total,
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

Result<FileStatus> OpenFile::status() const {
    struct stat info;
    if (::fstat(descriptorOf(handle_), &info) != 0)
        return Failure::fromErrno();
    return statusFrom(info);
}

Status OpenFile::close() {
    const std::intptr_t handle = std::exchange(handle_, kClosed);
    if (handle == kClosed)
        return {};
    // After EINTR the descriptor is gone on Linux: closing again could hit another file's.
    if (::close(descriptorOf(handle)) != 0 && errno != EINTR)
        return Failure::fromErrno();
    return {};
}

Result<FileStatus> statusOfFile(const std::string& hostPath) {
    struct stat info;
    if (::stat(hostPath.c_str(), &info) != 0)
        return Failure::fromErrno();
    return statusFrom(info);
}

} // namespace tambrel::platform
