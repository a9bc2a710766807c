#include "platform/files/file_reads.h"
#include "platform/files/folder_listing.h"
#include "platform/files/posix_entries.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace tambrel::platform {
namespace {

constexpr std::intptr_t kClosed = -1;

int descriptorOf(std::intptr_t handle) {
    return static_cast<int>(handle);
}

void closeQuietly(std::intptr_t handle) {
    if (handle != kClosed)
        ::close(descriptorOf(handle));
}

} // namespace

Result<OpenFolder> OpenFolder::open(const std::string& hostPath) {
    const int descriptor = ::open(hostPath.c_str(), kReadOnlyOpenFlags | O_DIRECTORY);
    if (descriptor < 0)
        return Failure::fromErrno();
    return OpenFolder(descriptor);
}

Result<OpenFolder> OpenFolder::openIn(const OpenFolder& parent, const std::string& name) {
    const int descriptor =
        ::openat(descriptorOf(parent.handle_), name.c_str(), kReadOnlyOpenFlags | O_DIRECTORY);
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

Result<FolderItems> OpenFolder::list() const {
    // The directory stream takes a descriptor of its own, so ours stays open for the files. A
    // copy rather than a new open of ".": a folder that can be read but not passed through
    // still names its entries.
    const int streamDescriptor = ::fcntl(descriptorOf(handle_), F_DUPFD_CLOEXEC, 0);
    if (streamDescriptor < 0)
        return Failure::fromErrno();
    DIR* directory = ::fdopendir(streamDescriptor);
    if (!directory) {
        const int error = errno;
        ::close(streamDescriptor);
        return Failure::fromErrno(error);
    }
    ::rewinddir(directory); // the copy shares the position of our descriptor

    FolderItems items;
    const int error = forEachEntry(directory, [&items](const dirent& entry, EntryKind kind) {
        if (kind != EntryKind::Other)
            items.add(entry.d_name, kind);
    });
    ::closedir(directory);
    if (error != 0)
        return Failure::fromErrno(error);
    return items;
}

Result<FileStatus> OpenFolder::statusOf(const std::string& name) const {
    struct stat info;
    if (::fstatat(descriptorOf(handle_), name.c_str(), &info, 0) != 0)
        return Failure::fromErrno();
    return platform::statusOf(info);
}

Result<ReadOnlyFile> ReadOnlyFile::openIn(const OpenFolder& folder, const std::string& name) {
    const int descriptor = ::openat(descriptorOf(folder.handle_), name.c_str(), kReadOnlyOpenFlags);
    if (descriptor < 0)
        return Failure::fromErrno();
    return ReadOnlyFile(descriptor);
}

} // namespace tambrel::platform
