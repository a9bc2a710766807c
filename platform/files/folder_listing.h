// Folders as the file system holds them, read and never written: a folder held open while its
// entries are listed and its files opened relative to it (ReadOnlyFile::openIn), or listed once
// by its path. Either way a listing is FolderItems.
#pragma once

#include "common/result.h"
#include "platform/files/file_status.h"
#include "platform/files/folder_items.h"
#include "platform/files/native_handle.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <utility>

namespace tambrel::platform {

class OpenFolder {
public:
    // A folder by its host path, or relative to an open parent folder.
    static Result<OpenFolder> open(const std::string& hostPath);
    static Result<OpenFolder> openIn(const OpenFolder& parent, const std::string& name);

    // Files and subfolders in the order the folder delivers them: a link counts as what it
    // points to; FIFOs, sockets, devices and dangling links (Other) are left out.
    Result<FolderItems> list() const;
    // The same entries a part at a time, as the folder delivers them: `take` is handed each part
    // once it holds `partSize` entries, and the rest when the folder ends (nothing for an empty
    // folder), and may move from it. A caller can start on the first files of a large folder
    // while the rest is still being read; a failure ends the listing after the parts before it.
    Status listInParts(std::size_t partSize,
                       const std::function<void(FolderItems& part)>& take) const;

    // Status of an entry by name, following links; for a file that exists but cannot be opened.
    Result<FileStatus> statusOf(const std::string& name) const;

private:
    friend class ReadOnlyFile;
    friend class HeadReads;
    friend std::optional<std::string> findEntryIgnoringCase(const std::string&, const std::string&);
    OpenFolder(NativeHandle handle, std::string hostPath)
        : handle_(std::move(handle)), hostPath_(std::move(hostPath)) {}
    // POSIX holds the folder open and leaves the path empty; Windows, which has no handle to
    // open a file relative to, holds the path alone.
    NativeHandle handle_;
    std::string hostPath_;
};

// The files and subfolders of the folder at `hostPath`, as OpenFolder::list() gives them, for a
// caller that opens nothing in it. Opening never blocks (a FIFO in a folder's place cannot hang
// a scan). On Windows a folder that is a reparse point (junction, link) counts as Other and is
// left out, so that a walk never leaves the tree it started in.
Result<FolderItems> listFolder(const std::string& hostPath);

// The first entry of `hostPath` whose name equals `name` without regard to letter case;
// nothing when there is none or the folder cannot be read.
std::optional<std::string> findEntryIgnoringCase(const std::string& hostPath,
                                                 const std::string& name);

} // namespace tambrel::platform
