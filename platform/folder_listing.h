// Listing one folder in a single pass: each entry's name and kind, and its size and time where
// the listing itself delivers them (Windows does, POSIX directories do not), so that a listed
// file never needs a status call of its own there.
#pragma once

#include "common/result.h"
#include "platform/file_status.h"

#include <optional>
#include <string>
#include <vector>

namespace tambrel::platform {

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
