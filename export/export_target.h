// The one check every export passes before it writes, in the window and in tambrel-cli alike:
// never a file inside the server's folders, however the chosen path leads there, and never
// through a link that someone else planted in a shared folder.
#pragma once

#include "common/result.h"
#include "inventory/file_system.h"
#include "platform/export/export_path.h"
#include "platform/export/replacement_file.h"

#include <string_view>
#include <vector>

namespace tambrel {

// Folders no export writes into, each with every spelling and the identity it is known by.
class ProtectedRoots {
public:
    // `hostPath` is a folder on this machine, protected with every folder and file linked into
    // its tree from elsewhere; one that does not exist protects its spelling.
    void add(std::string_view hostPath);
    bool empty() const { return roots_.empty(); }

    // Whether the resolved file lies in one of the folders (or is one of them). Spellings are
    // compared without regard to letter case, with "/" and "\" alike, as Windows reads paths;
    // identities catch the ways of reaching a folder that no spelling shows.
    bool covers(const ExportPath& target) const;

private:
    std::vector<PathSpellings> roots_;
};

// The server root the scan reads from the registry, resolved through the prefix's drives.
// Empty when the registry names no root.
ProtectedRoots serverProtectedRoots(const FileSystemObject& fileSystem);

// Resolves `hostPath` fully and refuses a target inside `roots` with EACCES and a description
// naming the file it resolved to. The folder stays open in the result, so what is written
// later through ReplacementFile::create goes to the very place checked here.
Result<ExportPath> checkExportTarget(std::string_view hostPath, const ProtectedRoots& roots);

// checkExportTarget, then the file that will replace the target; nothing is created on a
// refusal.
Result<ReplacementFile> openExportTarget(std::string_view hostPath, const ProtectedRoots& roots);

// Whether `path` is `folder` or lies below it, compared as the two platforms compare paths.
bool pathIsInFolder(std::string_view path, std::string_view folder);

} // namespace tambrel
