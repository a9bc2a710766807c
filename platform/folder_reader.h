// Folders as the scan reads them: a folder held open while its entries are listed and its files
// opened relative to it (ReadOnlyFile::openIn). Nothing here ever writes.
#pragma once

#include "common/result.h"
#include "platform/file_status.h"
#include "platform/folder_items.h"

#include <cstdint>
#include <string>

namespace tambrel::platform {

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

    // Files and subfolders in the order the folder delivers them: a link counts as what it
    // points to; FIFOs, sockets, devices and dangling links (Other) are left out.
    Result<FolderItems> list() const;

    // Status of an entry by name, following links; for a file that exists but cannot be opened.
    Result<FileStatus> statusOf(const std::string& name) const;

private:
    friend class ReadOnlyFile;
    friend class HeadReads;
    explicit OpenFolder(std::intptr_t handle) : handle_(handle) {}
    std::intptr_t handle_;
};

} // namespace tambrel::platform
