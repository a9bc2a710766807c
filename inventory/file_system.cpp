#include "inventory/file_system.h"

#include "platform/files/file_reads.h"
#include "platform/files/folder_listing.h"
#include "platform/paths/host_paths.h"
#include "platform/paths/wine_prefix.h"

#include <cerrno>

namespace tambrel {
namespace {

bool isSeparator(char c) {
    return c == '\\' || c == '/';
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

// The host path that `path` resolves to, and the kind of what is there.
struct Located {
    std::string hostPath;
    platform::EntryKind kind;
};

Result<Located> locate(const FileSystemObject& files, std::string_view path) {
    Result<std::string> host = files.resolveHostPath(path);
    if (!host)
        return host.failure();
    Result<platform::PathStatus> info = platform::statusOfPath(*host);
    if (!info)
        return info.failure();
    return Located{std::move(host.value()), info->kind};
}

} // namespace

FileSystemObject::FileSystemObject() : FileSystemObject(winePrefixPath()) {}

FileSystemObject::FileSystemObject(std::string winePrefix) : prefix_(std::move(winePrefix)) {}

Result<std::string> FileSystemObject::resolveHostPath(std::string_view path) const {
    return platform::resolveHostPath(path, prefix_);
}

Result<FolderEntry> FileSystemObject::GetFolder(std::string_view path) const {
    Result<Located> located = locate(*this, path);
    if (!located)
        return located.failure();
    if (located->kind != platform::EntryKind::Folder)
        return Failure::fromErrno(ENOTDIR);
    return FolderEntry{std::string(path), std::move(located->hostPath)};
}

Result<FolderListing> FileSystemObject::List(const FolderEntry& folder) const {
    Result<platform::FolderItems> entries = platform::listFolder(folder.hostPath);
    if (!entries)
        return entries.failure();
    FolderListing listing;
    for (const platform::FolderItem entry : *entries) {
        if (entry.kind == platform::EntryKind::File)
            listing.files.push_back(
                FileEntry{childPath(folder.path, entry.name),
                          platform::joinedHostPath(folder.hostPath, entry.name)});
        else if (entry.kind == platform::EntryKind::Folder)
            listing.subFolders.push_back(
                FolderEntry{childPath(folder.path, entry.name),
                            platform::joinedHostPath(folder.hostPath, entry.name)});
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
    Result<Located> located = locate(*this, path);
    if (!located)
        return located.failure();
    if (located->kind == platform::EntryKind::Folder)
        return Failure::fromErrno(EISDIR);
    if (located->kind != platform::EntryKind::File)
        return Failure::fromErrno(ENOENT);
    return FileEntry{std::string(path), std::move(located->hostPath)};
}

bool FileSystemObject::FileExists(std::string_view path) const {
    Result<std::string> host = resolveHostPath(path);
    if (!host)
        return false;
    Result<platform::PathStatus> info = platform::statusOfPath(*host);
    return info && info->kind == platform::EntryKind::File;
}

Status FileSystemObject::RemoveFile(std::string_view path) const {
    Result<std::string> host = resolveHostPath(path);
    if (!host)
        return host.failure();
    return platform::removeFile(*host);
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
