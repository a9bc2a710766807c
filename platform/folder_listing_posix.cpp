#include "platform/case_blind_name.h"
#include "platform/folder_listing.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace tambrel::platform {
namespace {

struct DirectoryCloser {
    void operator()(DIR* directory) const { ::closedir(directory); }
};
using DirectoryHandle = std::unique_ptr<DIR, DirectoryCloser>;

// Opening never waits: O_NONBLOCK keeps a FIFO put in a folder's place from hanging us.
Result<DirectoryHandle> openDirectory(const std::string& hostPath) {
    const int descriptor =
        ::open(hostPath.c_str(), O_RDONLY | O_DIRECTORY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
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

bool isDotEntry(const char* name) {
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

} // namespace

Result<std::vector<ListedEntry>> listFolder(const std::string& hostPath) {
    Result<DirectoryHandle> directory = openDirectory(hostPath);
    if (!directory)
        return directory.failure();
    DIR* handle = directory.value().get();
    const int descriptor = ::dirfd(handle);

    std::vector<ListedEntry> entries;
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(handle);
        if (!entry) {
            if (errno != 0)
                return Failure::fromErrno();
            break;
        }
        if (isDotEntry(entry->d_name))
            continue;
        EntryKind kind = EntryKind::Other;
        switch (entry->d_type) {
        case DT_REG:
            kind = EntryKind::File;
            break;
        case DT_DIR:
            kind = EntryKind::Folder;
            break;
        case DT_LNK:
        case DT_UNKNOWN: {
            // A link counts as what it points to; a dangling one is nothing.
            struct stat info;
            if (::fstatat(descriptor, entry->d_name, &info, 0) == 0) {
                if (S_ISREG(info.st_mode))
                    kind = EntryKind::File;
                else if (S_ISDIR(info.st_mode))
                    kind = EntryKind::Folder;
            }
            break;
        }
        default:
            break; // FIFOs, sockets and devices
        }
        entries.push_back(ListedEntry{entry->d_name, kind, std::nullopt});
    }
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
