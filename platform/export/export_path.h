// A chosen export path resolved link by link before anything is written: each link is judged
// before it is followed, and the folder that will hold the file is opened once and held, so
// nothing swapped in meanwhile can redirect the file created and renamed there. On POSIX the file
// is created relative to the open folder; on Windows the held folder cannot be renamed or removed
// until the export is done.
#pragma once

#include "common/result.h"
#include "platform/files/native_handle.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tambrel {

// Which file or folder a path reaches, however it is spelled: device and inode on POSIX,
// volume serial and file index on Windows.
struct FileIdentity {
    std::uint64_t volume = 0;
    std::uint64_t file = 0;
    friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

struct ExportPath {
    platform::NativeHandle folder; // where the file is created and renamed
    std::string folderPath;        // the folder's path with every link resolved
    std::string name;              // the file's name in it; the file need not exist yet
    // The folder's identity, then its parent's, and so on up to the top.
    std::vector<FileIdentity> folderAndAncestors;

    std::string resolvedPath() const;
    // Whether a regular file is there now (not a link: links are resolved already).
    bool holdsRegularFile() const;
};

// Follows the links of `path` (chains, linked folders, relative and absolute targets, at most
// 40; on Windows symbolic links and junctions, which the system resolves itself) as opening it
// would. A link in a sticky, world-writable folder is followed only when the
// user or that folder's owner owns it, as the Linux kernel's protected_symlinks rule has it;
// any other is refused with EACCES and a description naming the link.
Result<ExportPath> resolveExportPath(std::string_view path);

// The spellings under which a folder is reached (as given, and with links resolved; the
// Windows side adds UNC and mapped-drive forms) and its identity, when it exists.
struct PathSpellings {
    std::vector<std::string> spellings;
    std::optional<FileIdentity> identity;
};
PathSpellings spellingsOf(std::string_view hostPath);

// Where the links inside the folder tree at `hostPath` lead, with links resolved: a server's
// folders and recordings may live elsewhere and be linked in, and are the server's all the same.
// Linked folders are walked too; each folder is visited once, so a link cycle ends.
std::vector<std::string> linkedPlacesBelow(std::string_view hostPath);

// Whether `hostPath` is a folder in which this user may create files (a shared prefix or a
// read-only copy of a server is not).
bool folderAcceptsNewFiles(const std::string& hostPath);

} // namespace tambrel
