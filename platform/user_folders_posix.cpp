#include "platform/user_folders.h"

#include <array>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace tambrel::platform {

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

std::string documentsFolder() {
    if (const char* documents = std::getenv("XDG_DOCUMENTS_DIR"); documents && *documents) {
        struct stat info;
        if (::stat(documents, &info) == 0 && S_ISDIR(info.st_mode))
            return documents;
    }
    return homeFolder();
}

ProgramLocation runningProgramLocation() {
    std::array<char, PATH_MAX> buffer{};
    const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
    if (length <= 0)
        return ProgramLocation{".", "tambrel"};
    std::filesystem::path executable(std::string(buffer.data(), static_cast<std::size_t>(length)));
    return ProgramLocation{executable.parent_path().string(), executable.stem().string()};
}

} // namespace tambrel::platform
