#include "common/ascii_case.h"
#include "common/paths/path_components.h"
#include "common/paths/path_join.h"
#include "platform/files/folder_listing.h"
#include "platform/paths/host_paths.h"
#include "platform/paths/user_folders.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace tambrel::platform {
namespace {

bool exists(const std::string& hostPath) {
    return ::access(hostPath.c_str(), F_OK) == 0;
}

} // namespace

const char kHostSeparator = '/';

std::string joinedHostPath(std::string_view hostPath, std::string_view name) {
    return joinedPath(hostPath, name, kPosixSeparators);
}

std::string defaultWinePrefix() {
    std::string prefix;
    if (const char* configured = std::getenv("WINEPREFIX"); configured && *configured)
        prefix = configured;
    else
        prefix = homeFolder() + "/.wine";
    while (prefix.size() > 1 && prefix.back() == '/')
        prefix.pop_back();
    return prefix;
}

Result<std::string> resolveHostPath(std::string_view path, const std::string& winePrefix) {
    if (path.find('\0') != std::string_view::npos)
        return Failure::fromErrno(EINVAL);

    // `root` never ends in "/": "" stands for the POSIX root itself.
    std::string root;
    std::string_view rest = path;
    if (!path.empty() && path.front() == '/') {
        root = "";
    } else {
        char drive = 'c';
        if (path.size() >= 2 && isDriveLetter(path[0]) && path[1] == ':') {
            drive = asciiLower(path[0]);
            rest = path.substr(2);
        }
        root = winePrefix + "/dosdevices/" + drive + ':';
        struct stat info;
        if (::stat(root.c_str(), &info) != 0)
            return Failure::fromErrno();
        if (!S_ISDIR(info.st_mode))
            return Failure::fromErrno(ENOTDIR);
        // The drive's link is followed once here, so that every path built below it is the
        // real one: a scan opens a few hundred thousand files, and each open would otherwise
        // read the link and walk back up through the prefix again.
        if (char* real = ::realpath(root.c_str(), nullptr)) {
            root = std::strcmp(real, "/") == 0 ? std::string() : std::string(real);
            std::free(real);
        }
    }

    const std::vector<std::string_view> components = pathComponents(rest);
    std::string exact = root;
    for (std::string_view component : components)
        exact = joinedHostPath(exact, component);
    if (exact.empty())
        exact.push_back('/');
    if (components.empty() || exists(exact))
        return exact;

    std::string host = root;
    for (std::size_t i = 0; i < components.size(); ++i) {
        std::string candidate = joinedHostPath(host, components[i]);
        if (exists(candidate)) {
            host = std::move(candidate);
            continue;
        }
        if (std::optional<std::string> onDisk =
                findEntryIgnoringCase(host, std::string(components[i]))) {
            host = joinedHostPath(host, *onDisk);
            continue;
        }
        // Not there (yet): the rest is kept as written, for a file about to be created.
        for (; i < components.size(); ++i)
            host = joinedHostPath(host, components[i]);
        break;
    }
    return host;
}

Status removeFile(const std::string& hostPath) {
    struct stat info;
    if (::stat(hostPath.c_str(), &info) != 0)
        return Failure::fromErrno();
    if (!S_ISREG(info.st_mode))
        return Failure::fromErrno(S_ISDIR(info.st_mode) ? EISDIR : ENOENT);
    // The read-only attribute is the mode without write bits; judged by the mode, since the
    // superuser passes every access check.
    if ((info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        return Failure::fromErrno(EACCES);
    if (::unlink(hostPath.c_str()) != 0)
        return Failure::fromErrno();
    return {};
}

} // namespace tambrel::platform
