#include "export/save_location.h"

#include "platform/host_paths.h"
#include "platform/user_folders.h"

namespace tambrel {

std::string homeFolder() {
    return platform::homeFolder();
}

SaveLocation proposedSaveLocation(std::string_view windowsPath,
                                  const FileSystemObject& fileSystem) {
    Result<std::string> driveC = fileSystem.resolveHostPath("c:\\");
    if (driveC) {
        if (Result<std::string> proposed = fileSystem.resolveHostPath(windowsPath); proposed)
            return {std::move(proposed.value()), std::move(driveC.value())};
    }

    const std::size_t separator = windowsPath.find_last_of("\\/");
    const std::string_view fileName =
        separator == std::string_view::npos ? windowsPath : windowsPath.substr(separator + 1);
    std::string home = homeFolder();
    std::string proposed = home;
    if (proposed.empty() || proposed.back() != platform::kHostSeparator)
        proposed.push_back(platform::kHostSeparator);
    proposed.append(fileName);
    return {std::move(proposed), std::move(home)};
}

} // namespace tambrel
