#include "platform/files/case_blind_name.h"
#include "platform/files/file_reads.h"
#include "platform/files/folder_listing.h"
#include "platform/files/posix_entries.h"

#include <cerrno>
#include <cstdint>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace tambrel::platform {
namespace {

int descriptorOf(const NativeHandle& handle) {
    return static_cast<int>(handle.get());
}

struct DirectoryCloser {
    void operator()(DIR* directory) const { ::closedir(directory); }
};
using DirectoryStream = std::unique_ptr<DIR, DirectoryCloser>;

// The entries of an open folder from the start. The stream takes a descriptor of its own, so the
// folder's stays open for its files. A copy rather than a new open of ".": a folder that can be
// read but not passed through still names its entries.
Result<DirectoryStream> entriesOf(const NativeHandle& folder) {
    const int streamDescriptor = ::fcntl(descriptorOf(folder), F_DUPFD_CLOEXEC, 0);
    if (streamDescriptor < 0)
        return Failure::fromErrno();
    DIR* directory = ::fdopendir(streamDescriptor);
    if (!directory) {
        const int error = errno;
        ::close(streamDescriptor);
        return Failure::fromErrno(error);
    }
    ::rewinddir(directory); // the copy shares the position of the folder's descriptor
    return DirectoryStream(directory);
}

} // namespace

Result<OpenFolder> OpenFolder::open(const std::string& hostPath) {
    const int descriptor = openForReading(AT_FDCWD, hostPath.c_str(), O_DIRECTORY);
    if (descriptor < 0)
        return Failure::fromErrno();
    return OpenFolder(NativeHandle(descriptor), {});
}

Result<OpenFolder> OpenFolder::openIn(const OpenFolder& parent, const std::string& name) {
    const int descriptor = openForReading(descriptorOf(parent.handle_), name.c_str(), O_DIRECTORY);
    if (descriptor < 0)
        return Failure::fromErrno();
    return OpenFolder(NativeHandle(descriptor), {});
}

Status OpenFolder::listInParts(std::size_t partSize,
                               const std::function<void(FolderItems& part)>& take) const {
    Result<DirectoryStream> directory = entriesOf(handle_);
    if (!directory)
        return directory.failure();
    FolderItemParts parts(partSize, take);
    const int error =
        forEachEntry(directory.value().get(), [&parts](const dirent& entry, EntryKind kind) {
            if (kind != EntryKind::Other)
                parts.add(entry.d_name, kind);
        });
    if (error != 0)
        return Failure::fromErrno(error);
    parts.finish();
    return {};
}

Result<FolderItems> OpenFolder::list() const {
    FolderItems items;
    if (Status listed =
            listInParts(SIZE_MAX, [&items](FolderItems& all) { items = std::move(all); });
        !listed)
        return listed.failure();
    return items;
}

Result<FileStatus> OpenFolder::statusOf(const std::string& name) const {
    struct stat info;
    if (::fstatat(descriptorOf(handle_), name.c_str(), &info, 0) != 0)
        return Failure::fromErrno();
    return platform::statusOf(info);
}

Result<ReadOnlyFile> ReadOnlyFile::openIn(const OpenFolder& folder, const std::string& name) {
    const int descriptor = openForReading(descriptorOf(folder.handle_), name.c_str());
    if (descriptor < 0)
        return Failure::fromErrno();
    return ReadOnlyFile(descriptor);
}

Result<FolderItems> listFolder(const std::string& hostPath) {
    Result<OpenFolder> folder = OpenFolder::open(hostPath);
    if (!folder)
        return folder.failure();
    return folder->list();
}

std::optional<std::string> findEntryIgnoringCase(const std::string& hostPath,
                                                 const std::string& name) {
    Result<OpenFolder> folder = OpenFolder::open(hostPath.empty() ? std::string("/") : hostPath);
    if (!folder)
        return std::nullopt;
    Result<DirectoryStream> directory = entriesOf(folder->handle_);
    if (!directory)
        return std::nullopt;
    while (const dirent* entry = ::readdir(directory.value().get())) {
        if (!isDotEntry(entry->d_name) && sameNameIgnoringCase(entry->d_name, name))
            return std::string(entry->d_name);
    }
    return std::nullopt;
}

} // namespace tambrel::platform
