// Folders and files as the scan reads them: a folder held open while its entries are listed and
// its files opened relative to it, and a file opened only for the bytes at its start and its
// status. Nothing here ever writes.
#pragma once

#include "common/result.h"
#include "platform/file_status.h"

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <span>
#include <string>
#include <vector>

namespace tambrel::platform {

// An entry of an open folder's listing: a link counts as what it points to; FIFOs, sockets,
// devices and dangling links (Other) are left out of the listing.
struct FolderItem {
    std::string name;
    EntryKind kind;
};

class OpenFolder {
public:
    // A folder by its host path, or relative to an open parent folder.
    static Result<OpenFolder> open(const std::string& hostPath);
    static Result<OpenFolder> openIn(const OpenFolder& parent, const std::string& name);

    OpenFolder(OpenFolder&& other) noexcept;
    OpenFolder& operator=(OpenFolder&& other) noexcept;
    OpenFolder(const OpenFolder&) = delete;
    OpenFolder& operator=(const OpenFolder&) = delete;
    ~OpenFolder();

    // Files and subfolders in the order the folder delivers them.
    Result<std::vector<FolderItem>> list() const;

    // Status of an entry by name, following links; for a file that exists but cannot be opened.
    Result<FileStatus> statusOf(const std::string& name) const;

    // The handle, for OpenFile::openIn only.
    std::intptr_t handle() const { return handle_; }

private:
    explicit OpenFolder(std::intptr_t handle) : handle_(handle) {}
    std::intptr_t handle_;
};

class OpenFile {
public:
    // Opened for reading only; never waits (a FIFO put in a file's place opens at once).
    static Result<OpenFile> open(const std::string& hostPath);
    static Result<OpenFile> openIn(const OpenFolder& folder, const std::string& name);

    OpenFile(OpenFile&& other) noexcept;
    OpenFile& operator=(OpenFile&& other) noexcept;
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;
    ~OpenFile();

    // Fills the front of `buffer` from `offset`; fewer bytes at the end of the file.
    Result<std::size_t> readAt(std::uint64_t offset, std::span<std::byte> buffer) const;
    Result<FileStatus> status() const;
    // Releases the handle whatever the outcome; a failure is only worth a message.
    Status close();

private:
    explicit OpenFile(std::intptr_t handle) : handle_(handle) {}
    std::intptr_t handle_;
};

// Status of a file by its host path, following links.
Result<FileStatus> statusOfFile(const std::string& hostPath);

} // namespace tambrel::platform
