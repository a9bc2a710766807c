#include "export/export_target.h"

#include "common/ascii_case.h"
#include "server/server_root.h"

#include <algorithm>
#include <cerrno>

namespace tambrel {
namespace {

bool isSeparator(char c) {
    return c == '/' || c == '\\';
}

bool sameCharacter(char a, char b) {
    return (isSeparator(a) && isSeparator(b)) || asciiLower(a) == asciiLower(b);
}

} // namespace

bool pathIsInFolder(std::string_view path, std::string_view folder) {
    while (folder.size() > 1 && isSeparator(folder.back()))
        folder.remove_suffix(1);
    if (folder.empty() || path.size() < folder.size())
        return false;
    if (!std::equal(folder.begin(), folder.end(), path.begin(), sameCharacter))
        return false;
    // "/srv/corvel2" is not inside "/srv/corvel"; everything is inside "/" or "C:\".
    return path.size() == folder.size() || isSeparator(folder.back()) ||
           isSeparator(path[folder.size()]);
}

void ProtectedRoots::add(std::string_view hostPath) {
    if (hostPath.empty())
        return;
    roots_.push_back(spellingsOf(hostPath));
    for (const std::string& place : linkedPlacesBelow(hostPath))
        roots_.push_back(spellingsOf(place));
}

bool ProtectedRoots::covers(const ExportPath& target) const {
    const std::string resolved = target.resolvedPath();
    for (const PathSpellings& root : roots_) {
        for (const std::string& spelling : root.spellings)
            if (pathIsInFolder(resolved, spelling))
                return true;
        if (root.identity &&
            std::find(target.folderAndAncestors.begin(), target.folderAndAncestors.end(),
                      *root.identity) != target.folderAndAncestors.end())
            return true;
    }
    return false;
}

ProtectedRoots serverProtectedRoots(const FileSystemObject& fileSystem) {
    ProtectedRoots roots;
    Result<std::string> root = ReadServerRootPath();
    if (!root || root->empty())
        return roots;
    if (Result<std::string> hostPath = fileSystem.resolveHostPath(*root); hostPath)
        roots.add(*hostPath);
    return roots;
}

Result<ExportPath> checkExportTarget(std::string_view hostPath, const ProtectedRoots& roots) {
    Result<ExportPath> target = resolveExportPath(hostPath);
    if (!target)
        return target.failure();
    if (roots.covers(*target))
        return Failure{EACCES, "Inside the server's folders, never written to (" +
                                   target->resolvedPath() + ")"};
    return target;
}

Result<ReplacementFile> openExportTarget(std::string_view hostPath, const ProtectedRoots& roots) {
    Result<ExportPath> target = checkExportTarget(hostPath, roots);
    if (!target)
        return target.failure();
    return ReplacementFile::create(std::move(target.value()));
}

} // namespace tambrel
