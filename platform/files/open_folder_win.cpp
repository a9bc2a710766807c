#include "platform/files/file_reads.h"
#include "platform/files/folder_listing.h"

#include <cerrno>
#include <utility>

// Windows has no handle to open a file relative to, so an open folder keeps its path and files
// are opened by their full path through the read-only file of the layer, which shares read,
// write and delete and never locks a file the server is writing.
namespace tambrel::platform {
namespace {

constexpr std::intptr_t kClosed = 0;

const std::string& folderPathOf(std::intptr_t handle) {
    return *reinterpret_cast<const std::string*>(handle);
}

std::string childPath(const std::string& folder, const std::string& name) {
    if (!folder.empty() && (folder.back() == '\\' || folder.back() == '/'))
        return folder + name;
    return folder + "\\" + name;
}

} // namespace

Result<OpenFolder> OpenFolder::open(const std::string& hostPath) {
    // The listing is what proves the folder can be read; opening only names it.
    Result<PathStatus> status = statusOfPath(hostPath);
    if (!status)
        return status.failure();
    if (status->kind != EntryKind::Folder)
        return Failure::fromErrno(ENOTDIR);
    return OpenFolder(reinterpret_cast<std::intptr_t>(new std::string(hostPath)));
}

Result<OpenFolder> OpenFolder::openIn(const OpenFolder& parent, const std::string& name) {
    return open(childPath(folderPathOf(parent.handle_), name));
}

OpenFolder::OpenFolder(OpenFolder&& other) noexcept
    : handle_(std::exchange(other.handle_, kClosed)) {}

OpenFolder& OpenFolder::operator=(OpenFolder&& other) noexcept {
    if (this != &other) {
        delete reinterpret_cast<std::string*>(handle_);
        handle_ = std::exchange(other.handle_, kClosed);
    }
    return *this;
}

OpenFolder::~OpenFolder() {
    delete reinterpret_cast<std::string*>(handle_);
}

Result<FolderItems> OpenFolder::list() const {
    Result<std::vector<ListedEntry>> entries = listFolder(folderPathOf(handle_));
    if (!entries)
        return entries.failure();
    FolderItems items;
    for (const ListedEntry& entry : *entries)
        if (entry.kind != EntryKind::Other)
            items.add(entry.name, entry.kind);
    return items;
}

Result<FileStatus> OpenFolder::statusOf(const std::string& name) const {
    Result<PathStatus> status = statusOfPath(childPath(folderPathOf(handle_), name));
    if (!status)
        return status.failure();
    return status->status;
}

Result<ReadOnlyFile> ReadOnlyFile::openIn(const OpenFolder& folder, const std::string& name) {
    return open(childPath(folderPathOf(folder.handle_), name));
}

} // namespace tambrel::platform
