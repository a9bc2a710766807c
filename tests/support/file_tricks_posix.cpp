#include "tests/support/file_tricks.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <dirent.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

namespace tambrel::testing {

bool makeFifo(const std::filesystem::path& path) {
    return ::mkfifo(path.c_str(), 0644) == 0;
}

bool makeSocket(const std::filesystem::path& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.string().size() >= sizeof address.sun_path) {
        errno = ENAMETOOLONG;
        return false;
    }
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    const int descriptor = ::socket(AF_UNIX, SOCK_STREAM, 0);
    if (descriptor < 0)
        return false;
    const int bound =
        ::bind(descriptor, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    const int error = errno;
    ::close(descriptor);
    errno = error;
    return bound == 0;
}

bool makeCharacterDevice(const std::filesystem::path& path) {
    return ::mknod(path.c_str(), S_IFCHR | 0644, ::makedev(1, 3)) == 0;
}

bool runningAsSuperuser() {
    return ::geteuid() == 0;
}

std::vector<std::string> namesInListingOrder(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    DIR* directory = ::opendir(folder.c_str());
    if (!directory)
        return names;
    while (const dirent* entry = ::readdir(directory))
        names.emplace_back(entry->d_name);
    ::closedir(directory);
    return names;
}

StatusFacts statusFacts(const std::filesystem::path& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return {};
    return {static_cast<std::int64_t>(info.st_size), info.st_mtim.tv_sec};
}

void setModificationTime(const std::filesystem::path& path, std::int64_t secondsSinceEpoch) {
    std::filesystem::last_write_time(
        path, std::chrono::file_clock::from_sys(
                  std::chrono::sys_seconds{std::chrono::seconds{secondsSinceEpoch}}));
}

std::shared_ptr<void> holdWithoutSharing(const std::filesystem::path&) {
    return nullptr; // POSIX locks are advisory: a reader is never kept out
}

} // namespace tambrel::testing
