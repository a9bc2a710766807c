#include "export/save_location.h"

#include "common/paths/path_join.h"
#include "platform/export/export_path.h"
#include "platform/paths/user_folders.h"

namespace tambrel {
namespace {

// The documents folder is a host path of either system; the proposal has always been joined
// with "/", which both accept.
std::string joined(std::string_view folder, std::string_view name) {
    return joinedPath(folder, name, PathSeparators{'/', "/\\"});
}

} // namespace

SaveLocation proposedSaveLocation(std::string_view windowsPath,
                                  const FileSystemObject& fileSystem) {
    Result<std::string> driveC = fileSystem.resolveHostPath("c:\\");
    // A standard user may not create files everywhere a prefix's drive C: leads (a shared prefix,
    // a copy of a server mounted read-only); a dialog started there ends in a failed save.
    if (driveC && folderAcceptsNewFiles(driveC.value())) {
        if (Result<std::string> proposed = fileSystem.resolveHostPath(windowsPath); proposed)
            return {std::move(proposed.value()), std::move(driveC.value())};
    }

    const std::size_t separator = windowsPath.find_last_of("\\/");
    const std::string_view fileName =
        separator == std::string_view::npos ? windowsPath : windowsPath.substr(separator + 1);
    std::string documents = platform::documentsFolder();
    std::string proposed = joined(documents, fileName);
    return {std::move(proposed), std::move(documents)};
}

} // namespace tambrel
