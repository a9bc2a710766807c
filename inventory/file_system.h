// The file-system object: folders, files and paths in the server's own (Windows) notation,
// resolved on Linux through the Wine prefix's drive letters. Read-only but for RemoveFile,
// which only the export uses.
#pragma once

#include "common/result.h"
#include "platform/files/file_status.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tambrel {

// A path as the program built it (shown to the user) and the host path it resolved to.
struct FileEntry {
    std::string path;
    std::string hostPath;
    // Size and time when the folder listing delivered them, so the file needs no status call.
    std::optional<platform::FileStatus> listedStatus{};
};
struct FolderEntry {
    std::string path;
    std::string hostPath;
};

// One pass over a folder: its regular files (and links to them) and its subfolders, each in
// the order the directory delivers them. FIFOs, sockets and devices are neither.
struct FolderListing {
    std::vector<FileEntry> files;
    std::vector<FolderEntry> subFolders;
};

class FileSystemObject {
public:
    // Uses the prefix of platform::defaultWinePrefix() (none on Windows).
    FileSystemObject();
    explicit FileSystemObject(std::string winePrefix);

    Result<FolderEntry> GetFolder(std::string_view path) const;
    Result<FolderListing> List(const FolderEntry& folder) const;
    Result<std::vector<FileEntry>> Files(const FolderEntry& folder) const;
    Result<std::vector<FolderEntry>> SubFolders(const FolderEntry& folder) const;
    Result<FileEntry> GetFile(std::string_view path) const;
    bool FileExists(std::string_view path) const;
    Status RemoveFile(std::string_view path) const;

    // An entry's path below the path shown for its folder, with the separator that path uses.
    static std::string ChildPath(std::string_view parent, std::string_view name);

    // The text after the last period of the final component; empty when there is none.
    static std::string GetExtensionName(std::string_view path);

    // A drive-letter path through <prefix>/dosdevices, each component matched exactly first and
    // then without regard to letter case; a path beginning with "/" as it stands; a relative or
    // rooted path ("\x") against drive C:. Components that do not exist yet (a file about to be
    // created) are appended as written.
    Result<std::string> resolveHostPath(std::string_view path) const;

    const std::string& winePrefix() const { return prefix_; }

private:
    std::string prefix_;
};

} // namespace tambrel
