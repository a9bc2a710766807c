#include "export/save_location.h"

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>
#include <vector>

namespace tambrel {

std::string homeFolder() {
    if (const char* home = std::getenv("HOME"); home && *home)
        return home;
    const long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> scratch(size > 0 ? static_cast<std::size_t>(size) : 16384);
    passwd entry;
    passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, scratch.data(), scratch.size(), &found) == 0 && found &&
        found->pw_dir && *found->pw_dir)
        return found->pw_dir;
    return "/";
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
    if (proposed.empty() || proposed.back() != '/')
        proposed.push_back('/');
    proposed.append(fileName);
    return {std::move(proposed), std::move(home)};
}

} // namespace tambrel
