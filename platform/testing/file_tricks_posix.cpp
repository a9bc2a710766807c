#include "platform/testing/file_tricks.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
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
    return {static_cast<std::int64_t>(info.st_size), info.st_mtim.tv_sec, info.st_atim.tv_sec};
}

void setModificationTime(const std::filesystem::path& path, std::int64_t secondsSinceEpoch) {
    std::filesystem::last_write_time(
        path, std::chrono::file_clock::from_sys(
                  std::chrono::sys_seconds{std::chrono::seconds{secondsSinceEpoch}}));
}

std::shared_ptr<void> holdWithoutSharing(const std::filesystem::path&) {
    return nullptr; // POSIX locks are advisory: a reader is never kept out
}

bool setEntryTimes(const std::filesystem::path& path, std::int64_t secondsSinceEpoch) {
    const timespec times[2] = {{static_cast<time_t>(secondsSinceEpoch), 0},
                               {static_cast<time_t>(secondsSinceEpoch), 0}};
    return ::utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW) == 0;
}

std::shared_ptr<void> holdWriteLease(const std::filesystem::path& path) {
    const int descriptor = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    if (descriptor < 0)
        return nullptr;
    // The break is told by a signal that is ignored unless handled.
    if (::fcntl(descriptor, F_SETSIG, SIGWINCH) != 0 ||
        ::fcntl(descriptor, F_SETLEASE, F_WRLCK) != 0) {
        ::close(descriptor);
        return nullptr;
    }
    return std::shared_ptr<void>(new int(descriptor), [](void* held) {
        auto* owned = static_cast<int*>(held);
        ::close(*owned);
        delete owned;
    });
}

unsigned setCreationMask(unsigned mask) {
    return static_cast<unsigned>(::umask(static_cast<mode_t>(mask)));
}

std::uint32_t effectiveUser() {
    return ::geteuid();
}

std::uint32_t effectiveGroup() {
    return ::getegid();
}

bool setOwner(const std::filesystem::path& path, std::uint32_t user,
              std::optional<std::uint32_t> group, bool ofTheLinkItself) {
    const gid_t newGroup = group ? static_cast<gid_t>(*group) : static_cast<gid_t>(-1);
    return (ofTheLinkItself ? ::lchown(path.c_str(), user, newGroup)
                            : ::chown(path.c_str(), user, newGroup)) == 0;
}

bool mayListFolder(const std::filesystem::path& folder) {
    return ::access(folder.c_str(), R_OK | X_OK) == 0;
}

} // namespace tambrel::testing
