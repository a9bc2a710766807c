#include "common/paths/path_join.h"
#include "platform/export/export_path.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <deque>
#include <dirent.h>
#include <fcntl.h>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace tambrel {

using platform::NativeHandle;

namespace {

// As many links as the kernel follows in one lookup before it gives up with ELOOP.
constexpr int kMostLinks = 40;
// Deeper than any real tree; only a broken file system could make the walk up longer.
constexpr int kMostAncestors = 4096;
// Far more folders than a server holds; the walk for links stops there rather than run on.
constexpr std::size_t kMostFoldersWalked = 20000;

FileIdentity identityOf(const struct stat& info) {
    return {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
}

void splitInto(std::string_view path, std::deque<std::string>& components, bool atFront) {
    std::deque<std::string> parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t slash = path.find('/', start);
        const std::size_t end = slash == std::string_view::npos ? path.size() : slash;
        if (end > start)
            parts.emplace_back(path.substr(start, end - start));
        if (slash == std::string_view::npos)
            break;
        start = slash + 1;
    }
    // "dir/" names the folder itself, never a file in it.
    if (!path.empty() && path.back() == '/')
        parts.emplace_back(".");
    if (atFront)
        components.insert(components.begin(), parts.begin(), parts.end());
    else
        components.insert(components.end(), parts.begin(), parts.end());
}

std::string joined(std::string_view folder, std::string_view name) {
    return joinedPath(folder, name, kPosixSeparators);
}

std::string parentOf(const std::string& folder) {
    const std::size_t slash = folder.rfind('/');
    if (slash == std::string::npos || slash == 0)
        return "/";
    return folder.substr(0, slash);
}

Result<NativeHandle> openFolderAt(int at, const char* name) {
    const int descriptor = ::openat(at, name, O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (descriptor < 0)
        return Failure::fromErrno();
    return NativeHandle(descriptor);
}

std::optional<std::string> currentFolder() {
    char* path = ::getcwd(nullptr, 0);
    if (!path)
        return std::nullopt;
    std::string result(path);
    std::free(path);
    return result;
}

Result<std::string> linkText(int at, const std::string& name) {
    std::string text(256, '\0');
    for (;;) {
        const ssize_t length = ::readlinkat(at, name.c_str(), text.data(), text.size());
        if (length < 0)
            return Failure::fromErrno();
        if (static_cast<std::size_t>(length) < text.size()) {
            text.resize(static_cast<std::size_t>(length));
            return text;
        }
        if (text.size() >= PATH_MAX)
            return Failure::fromErrno(ENAMETOOLONG);
        text.resize(text.size() * 2);
    }
}

// The kernel's protected_symlinks rule: whoever may plant a link in a shared folder must not
// choose where someone else's write goes.
bool linkMayBeFollowed(const struct stat& folder, const struct stat& link) {
    const bool shared = (folder.st_mode & S_ISVTX) && (folder.st_mode & S_IWOTH);
    return !shared || link.st_uid == ::geteuid() || link.st_uid == folder.st_uid;
}

Result<std::vector<FileIdentity>> folderAndAncestors(int folder) {
    std::vector<FileIdentity> chain;
    struct stat info;
    if (::fstat(folder, &info) != 0)
        return Failure::fromErrno();
    chain.push_back(identityOf(info));
    NativeHandle current;
    int at = folder;
    for (int level = 0; level < kMostAncestors; ++level) {
        Result<NativeHandle> parent = openFolderAt(at, "..");
        if (!parent)
            return parent.failure();
        if (::fstat(static_cast<int>(parent->get()), &info) != 0)
            return Failure::fromErrno();
        if (identityOf(info) == chain.back())
            return chain; // the top: its ".." is itself
        chain.push_back(identityOf(info));
        current = std::move(parent.value());
        at = static_cast<int>(current.get());
    }
    return Failure::fromErrno(ELOOP);
}

} // namespace

std::string ExportPath::resolvedPath() const {
    return joined(folderPath, name);
}

bool ExportPath::holdsRegularFile() const {
    struct stat info;
    return folder.valid() && !name.empty() &&
           ::fstatat(static_cast<int>(folder.get()), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) ==
               0 &&
           S_ISREG(info.st_mode);
}

Result<ExportPath> resolveExportPath(std::string_view path) {
    if (path.empty() || path.find('\0') != std::string_view::npos)
        return Failure::fromErrno(EINVAL);

    ExportPath resolved;
    const auto startAt = [&resolved](bool top) -> Status {
        std::optional<std::string> here = top ? std::optional<std::string>("/") : currentFolder();
        if (!here)
            return Failure::fromErrno();
        Result<NativeHandle> folder = openFolderAt(AT_FDCWD, here->c_str());
        if (!folder)
            return folder.failure();
        resolved.folder = std::move(folder.value());
        resolved.folderPath = std::move(*here);
        return {};
    };
    if (Status started = startAt(path.front() == '/'); !started)
        return started.failure();

    std::deque<std::string> pending;
    splitInto(path, pending, false);
    int linksFollowed = 0;
    while (!pending.empty()) {
        std::string component = std::move(pending.front());
        pending.pop_front();
        const bool last = pending.empty();
        const int at = static_cast<int>(resolved.folder.get());
        if (component == "." || component == "..") {
            if (last)
                return Failure::fromErrno(EISDIR);
            if (component == "..") {
                Result<NativeHandle> parent = openFolderAt(at, "..");
                if (!parent)
                    return parent.failure();
                resolved.folder = std::move(parent.value());
                resolved.folderPath = parentOf(resolved.folderPath);
            }
            continue;
        }

        struct stat entry;
        if (::fstatat(at, component.c_str(), &entry, AT_SYMLINK_NOFOLLOW) != 0) {
            if (errno == ENOENT && last) {
                resolved.name = std::move(component);
                break;
            }
            return Failure::fromErrno();
        }
        if (S_ISLNK(entry.st_mode)) {
            struct stat folder;
            if (::fstat(at, &folder) != 0)
                return Failure::fromErrno();
            const std::string linkPath = joined(resolved.folderPath, component);
            if (!linkMayBeFollowed(folder, entry))
                return Failure{EACCES, "Link in a shared folder owned by another user, not "
                                       "followed (" +
                                           linkPath + ")"};
            if (++linksFollowed > kMostLinks)
                return Failure::fromErrno(ELOOP);
            Result<std::string> target = linkText(at, component);
            if (!target)
                return target.failure();
            if (target->empty())
                return Failure::fromErrno(ENOENT);
            if (target->front() == '/') {
                if (Status started = startAt(true); !started)
                    return started.failure();
            }
            splitInto(*target, pending, true);
            continue;
        }
        if (last) {
            resolved.name = std::move(component);
            break;
        }
        if (!S_ISDIR(entry.st_mode))
            return Failure::fromErrno(ENOTDIR);
        Result<NativeHandle> child = openFolderAt(at, component.c_str());
        if (!child)
            return child.failure();
        resolved.folder = std::move(child.value());
        resolved.folderPath = joined(resolved.folderPath, component);
    }

    Result<std::vector<FileIdentity>> chain =
        folderAndAncestors(static_cast<int>(resolved.folder.get()));
    if (!chain)
        return chain.failure();
    resolved.folderAndAncestors = std::move(chain.value());

    // The walk holds the folder only as a place; reading it lets the rename be flushed to the
    // disk. A folder we may write to but not read is still a place to write.
    const int readable =
        ::openat(static_cast<int>(resolved.folder.get()), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (readable >= 0)
        resolved.folder = NativeHandle(readable);
    return resolved;
}

PathSpellings spellingsOf(std::string_view hostPath) {
    PathSpellings result;
    std::string given(hostPath);
    while (given.size() > 1 && given.back() == '/')
        given.pop_back();
    result.spellings.push_back(given);
    if (char* real = ::realpath(given.c_str(), nullptr)) {
        if (given != real)
            result.spellings.emplace_back(real);
        std::free(real);
    }
    struct stat info;
    if (::stat(given.c_str(), &info) == 0)
        result.identity = identityOf(info);
    return result;
}

std::vector<std::string> linkedPlacesBelow(std::string_view hostPath) {
    std::vector<std::string> places;
    std::set<std::pair<std::uint64_t, std::uint64_t>> visited;
    std::vector<std::string> pending{std::string(hostPath)};
    char* rootReal = ::realpath(std::string(hostPath).c_str(), nullptr);
    const std::string root = rootReal ? rootReal : std::string(hostPath);
    std::free(rootReal);
    // A link to the root's own folder or above it protects all that tree by its spelling
    // already; walking it would walk the whole disk.
    const auto holdsTheRoot = [&root](const std::string& place) {
        return place == "/" || root == place || root.rfind(place + "/", 0) == 0;
    };
    while (!pending.empty() && visited.size() < kMostFoldersWalked) {
        const std::string folder = std::move(pending.back());
        pending.pop_back();
        DIR* listing = ::opendir(folder.c_str());
        if (!listing)
            continue;
        struct stat info;
        if (::fstat(::dirfd(listing), &info) != 0 ||
            !visited.insert({info.st_dev, info.st_ino}).second) {
            ::closedir(listing);
            continue;
        }
        while (const dirent* entry = ::readdir(listing)) {
            const std::string_view name = entry->d_name;
            if (name == "." || name == "..")
                continue;
            unsigned char type = entry->d_type;
            if (type == DT_UNKNOWN &&
                ::fstatat(::dirfd(listing), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0)
                type = S_ISDIR(info.st_mode) ? DT_DIR : S_ISLNK(info.st_mode) ? DT_LNK : DT_REG;
            const std::string child = joined(folder, name);
            if (type == DT_DIR) {
                pending.push_back(child);
            } else if (type == DT_LNK) {
                char* real = ::realpath(child.c_str(), nullptr);
                if (!real)
                    continue;
                places.emplace_back(real);
                std::free(real);
                if (::stat(places.back().c_str(), &info) == 0 && S_ISDIR(info.st_mode) &&
                    !holdsTheRoot(places.back()))
                    pending.push_back(places.back());
            }
        }
        ::closedir(listing);
    }
    return places;
}

bool folderAcceptsNewFiles(const std::string& hostPath) {
    struct stat info;
    return !hostPath.empty() && ::stat(hostPath.c_str(), &info) == 0 && S_ISDIR(info.st_mode) &&
           ::access(hostPath.c_str(), W_OK | X_OK) == 0;
}

} // namespace tambrel
