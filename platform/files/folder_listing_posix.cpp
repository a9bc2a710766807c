#include "platform/files/case_blind_name.h"
#include "platform/files/folder_listing.h"
#include "platform/files/posix_entries.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <unistd.h>

namespace tambrel::platform {
namespace {

struct DirectoryCloser {
    void operator()(DIR* directory) const { ::closedir(directory); }
};
using DirectoryHandle = std::unique_ptr<DIR, DirectoryCloser>;

// Opening never waits: O_NONBLOCK keeps a FIFO put in a folder's place from hanging us.
Result<DirectoryHandle> openDirectory(const std::string& hostPath) {
    const int descriptor = ::open(hostPath.c_str(), kReadOnlyOpenFlags | O_DIRECTORY);
    if (descriptor < 0)
        return Failure::fromErrno();
    DIR* directory = ::fdopendir(descriptor);
    if (!directory) {
        const int error = errno;
        ::close(descriptor);
        return Failure::fromErrno(error);
    }
    return DirectoryHandle(directory);
}

} // namespace

Result<std::vector<ListedEntry>> listFolder(const std::string& hostPath) {
    Result<DirectoryHandle> directory = openDirectory(hostPath);
    if (!directory)
        return directory.failure();
    std::vector<ListedEntry> entries;
    const int error =
        forEachEntry(directory.value().get(), [&](const dirent& entry, EntryKind kind) {
            entries.push_back(ListedEntry{entry.d_name, kind, std::nullopt});
        });
    if (error != 0)
        return Failure::fromErrno(error);
    return entries;
}

std::optional<std::string> findEntryIgnoringCase(const std::string& hostPath,
                                                 const std::string& name) {
    Result<DirectoryHandle> directory =
        openDirectory(hostPath.empty() ? std::string("/") : hostPath);
    if (!directory)
        return std::nullopt;
    while (const dirent* entry = ::readdir(directory.value().get())) {
        if (!isDotEntry(entry->d_name) && sameNameIgnoringCase(entry->d_name, name))
            return std::string(entry->d_name);
    }
    return std::nullopt;
}

} // namespace tambrel::platform
