#include "inventory/file_system.h"

#include "inventory/case_blind_name.h"
#include "server/wine_prefix.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace tambrel {
namespace {

bool isSeparator(char c) {
    return c == '\\' || c == '/';
}

bool isDriveLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// Components of a path, with empty ones (doubled separators) and "." dropped and ".." taken
// lexically, as Windows does; ".." never climbs above the root.
std::vector<std::string_view> componentsOf(std::string_view path) {
    std::vector<std::string_view> components;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = start;
        while (end < path.size() && !isSeparator(path[end]))
            ++end;
        std::string_view component = path.substr(start, end - start);
        if (component == "..") {
            if (!components.empty())
                components.pop_back();
        } else if (!component.empty() && component != ".") {
            components.push_back(component);
        }
        start = end + 1;
    }
    return components;
}

bool exists(const std::string& hostPath) {
    return ::access(hostPath.c_str(), F_OK) == 0;
}

std::string joined(std::string_view folder, std::string_view name) {
    std::string path;
    path.reserve(folder.size() + 1 + name.size());
    path.append(folder);
    if (path.empty() || path.back() != '/')
        path.push_back('/');
    path.append(name);
    return path;
}

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

// The entry of `folder` whose name equals `name` without regard to case, first in directory
// order; nullopt when there is none or the folder cannot be read.
std::optional<std::string> findIgnoringCase(const std::string& folder, std::string_view name) {
    Result<DirectoryHandle> directory = openDirectory(folder.empty() ? std::string("/") : folder);
    if (!directory)
        return std::nullopt;
    while (const dirent* entry = ::readdir(directory.value().get())) {
        if (!isDotEntry(entry->d_name) && sameNameIgnoringCase(entry->d_name, name))
            return std::string(entry->d_name);
    }
    return std::nullopt;
}

// Joins an entry name to the path shown for its folder, with the separator that path uses.
std::string childPath(std::string_view parent, std::string_view name) {
    std::string path;
    path.reserve(parent.size() + 1 + name.size());
    path.append(parent);
    if (parent.empty() || !isSeparator(parent.back())) {
        const std::size_t last = parent.find_last_of("\\/");
        path.push_back(last == std::string_view::npos ? '\\' : parent[last]);
    }
    path.append(name);
    return path;
}

Failure invalidPath() {
    return Failure::fromErrno(EINVAL);
}

} // namespace

FileSystemObject::FileSystemObject() : FileSystemObject(winePrefixPath()) {}

FileSystemObject::FileSystemObject(std::string winePrefix) : prefix_(std::move(winePrefix)) {}

Result<std::string> FileSystemObject::resolveHostPath(std::string_view path) const {
    if (path.find('\0') != std::string_view::npos)
        return invalidPath();

    // `root` never ends in "/": "" stands for the POSIX root itself.
    std::string root;
    std::string_view rest = path;
    if (!path.empty() && path.front() == '/') {
        root = "";
    } else {
        char drive = 'c';
        if (path.size() >= 2 && isDriveLetter(path[0]) && path[1] == ':') {
            drive = static_cast<char>(path[0] | 0x20);
            rest = path.substr(2);
        }
        root = prefix_ + "/dosdevices/" + drive + ':';
        struct stat info;
        if (::stat(root.c_str(), &info) != 0)
            return Failure::fromErrno();
        if (!S_ISDIR(info.st_mode))
            return Failure::fromErrno(ENOTDIR);
        // The drive's link is followed once here, so that every path built below it is the
        // real one: a scan opens a few hundred thousand files, and each open would otherwise
        // read the link and walk back up through the prefix again.
        if (char* real = ::realpath(root.c_str(), nullptr)) {
            root = std::strcmp(real, "/") == 0 ? std::string() : std::string(real);
            std::free(real);
        }
    }

    const std::vector<std::string_view> components = componentsOf(rest);
    std::string exact = root;
    for (std::string_view component : components)
        exact = joined(exact, component);
    if (exact.empty())
        exact.push_back('/');
    if (components.empty() || exists(exact))
        return exact;

    std::string host = root;
    for (std::size_t i = 0; i < components.size(); ++i) {
        std::string candidate = joined(host, components[i]);
        if (exists(candidate)) {
            host = std::move(candidate);
            continue;
        }
        if (std::optional<std::string> onDisk = findIgnoringCase(host, components[i])) {
            host = joined(host, *onDisk);
            continue;
        }
        // Not there (yet): the rest is kept as written, for a file about to be created.
        for (; i < components.size(); ++i)
            host = joined(host, components[i]);
        break;
    }
    return host;
}

Result<FolderEntry> FileSystemObject::GetFolder(std::string_view path) const {
    Result<std::string> host = resolveHostPath(path);
    if (!host)
        return host.failure();
    struct stat info;
    if (::stat(host->c_str(), &info) != 0)
        return Failure::fromErrno();
    if (!S_ISDIR(info.st_mode))
        return Failure::fromErrno(ENOTDIR);
    return FolderEntry{std::string(path), std::move(host.value())};
}

Result<FolderListing> FileSystemObject::List(const FolderEntry& folder) const {
    Result<DirectoryHandle> directory = openDirectory(folder.hostPath);
    if (!directory)
        return directory.failure();
    DIR* handle = directory.value().get();
    const int descriptor = ::dirfd(handle);

    FolderListing listing;
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
        enum class Kind { File, Folder, Neither } kind = Kind::Neither;
        switch (entry->d_type) {
        case DT_REG:
            kind = Kind::File;
            break;
        case DT_DIR:
            kind = Kind::Folder;
            break;
        case DT_LNK:
        case DT_UNKNOWN: {
            // A link counts as what it points to; a dangling one is nothing.
            struct stat info;
            if (::fstatat(descriptor, entry->d_name, &info, 0) == 0) {
                if (S_ISREG(info.st_mode))
                    kind = Kind::File;
                else if (S_ISDIR(info.st_mode))
                    kind = Kind::Folder;
            }
            break;
        }
        default:
            break; // FIFOs, sockets and devices
        }
        if (kind == Kind::File)
            listing.files.push_back(FileEntry{childPath(folder.path, entry->d_name),
                                              joined(folder.hostPath, entry->d_name)});
        else if (kind == Kind::Folder)
            listing.subFolders.push_back(FolderEntry{childPath(folder.path, entry->d_name),
                                                     joined(folder.hostPath, entry->d_name)});
    }
    return listing;
}

Result<std::vector<FileEntry>> FileSystemObject::Files(const FolderEntry& folder) const {
    Result<FolderListing> listing = List(folder);
    if (!listing)
        return listing.failure();
    return std::move(listing->files);
}

Result<std::vector<FolderEntry>> FileSystemObject::SubFolders(const FolderEntry& folder) const {
    Result<FolderListing> listing = List(folder);
    if (!listing)
        return listing.failure();
    return std::move(listing->subFolders);
}

Result<FileEntry> FileSystemObject::GetFile(std::string_view path) const {
    Result<std::string> host = resolveHostPath(path);
    if (!host)
        return host.failure();
    struct stat info;
    if (::stat(host->c_str(), &info) != 0)
        return Failure::fromErrno();
    if (S_ISDIR(info.st_mode))
        return Failure::fromErrno(EISDIR);
    if (!S_ISREG(info.st_mode))
        return Failure::fromErrno(ENOENT);
    return FileEntry{std::string(path), std::move(host.value())};
}

bool FileSystemObject::FileExists(std::string_view path) const {
    Result<std::string> host = resolveHostPath(path);
    struct stat info;
    return host && ::stat(host->c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

Status FileSystemObject::DeleteFile(std::string_view path) const {
    Result<std::string> host = resolveHostPath(path);
    if (!host)
        return host.failure();
    struct stat info;
    if (::stat(host->c_str(), &info) != 0)
        return Failure::fromErrno();
    if (!S_ISREG(info.st_mode))
        return Failure::fromErrno(S_ISDIR(info.st_mode) ? EISDIR : ENOENT);
    // The read-only attribute is the mode without write bits; judged by the mode, since the
    // superuser passes every access check.
    if ((info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        return Failure::fromErrno(EACCES);
    if (::unlink(host->c_str()) != 0)
        return Failure::fromErrno();
    return {};
}

std::string FileSystemObject::ChildPath(std::string_view parent, std::string_view name) {
    return childPath(parent, name);
}

std::string FileSystemObject::GetExtensionName(std::string_view path) {
    const std::size_t separator = path.find_last_of("\\/");
    const std::string_view name =
        separator == std::string_view::npos ? path : path.substr(separator + 1);
    const std::size_t period = name.rfind('.');
    return period == std::string_view::npos ? std::string() : std::string(name.substr(period + 1));
}

} // namespace tambrel
