#include "common/paths/path_join.h"
#include "platform/paths/user_folders.h"

#include <array>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <pwd.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace tambrel::platform {

namespace {

std::string joined(std::string_view folder, std::string_view name) {
    return joinedPath(folder, name, kPosixSeparators);
}

bool isFolder(const std::string& path) {
    struct stat info;
    return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// The value of XDG_DOCUMENTS_DIR in user-dirs.dirs: a quoted "$HOME/..." or absolute path, as
// xdg-user-dirs writes it; anything else counts as not set.
std::optional<std::string> xdgDocumentsFolder(const std::string& home) {
    std::string config;
    if (const char* configHome = std::getenv("XDG_CONFIG_HOME"); configHome && *configHome == '/')
        config = configHome;
    else
        config = joined(home, ".config");
    std::ifstream file(joined(config, "user-dirs.dirs"));
    constexpr std::string_view kKey = "XDG_DOCUMENTS_DIR=\"";
    std::string line;
    while (std::getline(file, line)) {
        const std::size_t start = line.find_first_not_of(" \t");
        if (start == std::string::npos || line.compare(start, kKey.size(), kKey) != 0)
            continue;
        std::string value;
        bool closed = false;
        for (std::size_t i = start + kKey.size(); i < line.size(); ++i) {
            if (line[i] == '\\' && i + 1 < line.size()) {
                value.push_back(line[++i]);
            } else if (line[i] == '"') {
                closed = true;
                break;
            } else {
                value.push_back(line[i]);
            }
        }
        if (!closed)
            continue;
        if (value.rfind("$HOME", 0) == 0 && (value.size() == 5 || value[5] == '/'))
            return home + value.substr(5);
        if (!value.empty() && value.front() == '/')
            return value;
    }
    return std::nullopt;
}

} // namespace

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
    const std::string home = homeFolder();
    if (std::optional<std::string> documents = xdgDocumentsFolder(home)) {
        while (documents->size() > 1 && documents->back() == '/')
            documents->pop_back();
        if (isFolder(*documents))
            return *documents;
    }
    if (std::string documents = joined(home, "Documents"); isFolder(documents))
        return documents;
    return home;
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
