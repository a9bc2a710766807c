#include "export/save_location.h"

#include "platform/user_folders.h"

#include <sys/stat.h>
#include <unistd.h>

namespace tambrel {
namespace {

std::string joined(std::string folder, std::string_view name) {
    if (folder.empty() || folder.back() != '/')
        folder.push_back('/');
    folder.append(name);
    return folder;
}

bool isFolder(const std::string& path) {
    struct stat info;
    return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// A standard user may not create files everywhere a prefix's drive C: leads (a shared prefix,
// a copy of a server mounted read-only); a dialog started there ends in a failed save.
bool isWritableFolder(const std::string& path) {
    return isFolder(path) && ::access(path.c_str(), W_OK | X_OK) == 0;
}

} // namespace

SaveLocation proposedSaveLocation(std::string_view windowsPath,
                                  const FileSystemObject& fileSystem) {
    Result<std::string> driveC = fileSystem.resolveHostPath("c:\\");
    if (driveC && isWritableFolder(driveC.value())) {
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
