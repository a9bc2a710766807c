#include "common/paths/path_components.h"
#include "common/paths/path_join.h"
#include "platform/paths/host_paths.h"
#include "platform/text/windows_text_win.h"

#include <cerrno>
#include <vector>
#include <windows.h>

namespace tambrel::platform {
namespace {

// Plain paths are limited to MAX_PATH (260) including the terminator; the system's own
// folder functions need room for a file name below a folder, so long ones switch early.
constexpr std::size_t kLongestPlainPath = 247;

} // namespace

const char kHostSeparator = '\\';

std::string joinedHostPath(std::string_view hostPath, std::string_view name) {
    return joinedPath(hostPath, name, kWindowsSeparators);
}

std::string defaultWinePrefix() {
    return {};
}

Result<std::string> resolveHostPath(std::string_view path, const std::string& /*winePrefix*/) {
    if (path.find('\0') != std::string_view::npos)
        return Failure::fromErrno(EINVAL);

    // The root the components stand below: "C:", "\\host\share", or the current drive.
    std::string root;
    std::string_view rest = path;
    bool unc = false;
    if (path.starts_with("\\\\?\\") || path.starts_with("//?/")) {
        return std::string(path); // already in the long form; taken as the caller wrote it
    } else if (path.size() >= 2 && isPathSeparator(path[0]) && isPathSeparator(path[1])) {
        // \\host\share: both are part of the root, never climbed above.
        std::size_t at = 2;
        std::vector<std::string_view> parts;
        for (int part = 0; part < 2 && at <= path.size(); ++part) {
            std::size_t end = at;
            while (end < path.size() && !isPathSeparator(path[end]))
                ++end;
            parts.push_back(path.substr(at, end - at));
            at = end + 1;
        }
        if (parts.size() < 2 || parts[0].empty() || parts[1].empty())
            return Failure::fromErrno(EINVAL);
        root = "\\\\" + std::string(parts[0]) + "\\" + std::string(parts[1]);
        rest = at <= path.size() ? path.substr(at) : std::string_view();
        unc = true;
    } else if (path.size() >= 2 && isDriveLetter(path[0]) && path[1] == ':') {
        root = std::string(path.substr(0, 2));
        rest = path.substr(2);
    } else {
        root = "C:"; // a relative or rooted path is taken against drive C:, as on POSIX
    }

    const std::vector<std::string_view> components = pathComponents(rest);
    std::string host = root;
    for (std::string_view component : components) {
        host.push_back('\\');
        host.append(component);
    }
    if (components.empty())
        host.push_back('\\');
    if (host.size() > kLongestPlainPath)
        host = unc ? "\\\\?\\UNC\\" + host.substr(2) : "\\\\?\\" + host;
    return host;
}

Status removeFile(const std::string& hostPath) {
    const std::wstring wide = wideFromUtf8(hostPath);
    const DWORD attributes = ::GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return lastWindowsFailure();
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return Failure::fromErrno(EISDIR);
    if (attributes & FILE_ATTRIBUTE_READONLY)
        return Failure::fromErrno(EACCES);
    if (!::DeleteFileW(wide.c_str()))
        return lastWindowsFailure();
    return {};
}

} // namespace tambrel::platform
