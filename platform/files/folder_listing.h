// Folders as the file system holds them, read and never written: a folder held open while its
// entries are listed and its files opened relative to it (ReadOnlyFile::openIn), and a folder
// listed by its path in a single pass, with each entry's size and time where the listing itself
// delivers them (Windows does, POSIX directories do not).
#pragma once

#include "common/result.h"
#include "platform/files/file_status.h"
#include "platform/files/folder_items.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

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

struct ListedEntry {
    std::string name; // UTF-8 on Windows; the bytes of the directory entry on POSIX
    EntryKind kind = EntryKind::Other;
    // Filled only where the listing carries it; callers fall back to the open file's status.
    std::optional<FileStatus> status;
};

// The entries of the folder at `hostPath` ("." and ".." left out) in the order the system
// delivers them. Opening never blocks (a FIFO in a folder's place cannot hang a scan). On
// Windows a folder that is a reparse point (junction, link) is listed as Other, so that a walk
// never leaves the tree it started in.
Result<std::vector<ListedEntry>> listFolder(const std::string& hostPath);

// The first entry of `hostPath` whose name equals `name` without regard to letter case;
// nothing when there is none or the folder cannot be read.
std::optional<std::string> findEntryIgnoringCase(const std::string& hostPath,
                                                 const std::string& name);

} // namespace tambrel::platform
