#include "common/paths/path_join.h"
#include "platform/export/export_path.h"
#include "platform/text/windows_text_win.h"

#include <cerrno>
#include <cwctype>
#include <set>
#include <windows.h>

namespace tambrel {

using platform::NativeHandle;

namespace {

using platform::failureFromWindowsError;
using platform::lastWindowsFailure;
using platform::systemPath;
using platform::utf8FromWide;
using platform::wideFromUtf8;

// Far more folders than a server holds; the walk for links stops there rather than run on.
constexpr std::size_t kMostFoldersWalked = 20000;

HANDLE nativeOf(const NativeHandle& folder) {
    return reinterpret_cast<HANDLE>(folder.get());
}

// Opens a file or folder only to learn where it is and what it is: no access to its data, all
// sharing, so no one else is hindered. Reparse points are followed.
HANDLE openForQuery(const std::wstring& path) {
    return ::CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

// The folder held while the export runs: without FILE_SHARE_DELETE no one can rename or remove
// it (nor, on NTFS, a folder above it) and so redirect the file to another place.
Result<NativeHandle> openFolderHeld(const std::wstring& path) {
    const HANDLE handle = ::CreateFileW(path.c_str(), FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return lastWindowsFailure();
    BY_HANDLE_FILE_INFORMATION info;
    if (!::GetFileInformationByHandle(handle, &info) ||
        !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        ::CloseHandle(handle);
        return Failure::fromErrno(ENOTDIR);
    }
    return NativeHandle(reinterpret_cast<std::intptr_t>(handle));
}

std::optional<FileIdentity> identityOf(HANDLE handle) {
    BY_HANDLE_FILE_INFORMATION info;
    if (!::GetFileInformationByHandle(handle, &info))
        return std::nullopt;
    return FileIdentity{info.dwVolumeSerialNumber,
                        (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) |
                            info.nFileIndexLow};
}

// The path the system reached, links and junctions resolved, in the usual notation ("C:\...",
// "\\host\share\...") rather than the long form.
Result<std::wstring> finalPathOf(HANDLE handle) {
    std::wstring path(512, L'\0');
    for (;;) {
        const DWORD length =
            ::GetFinalPathNameByHandleW(handle, path.data(), static_cast<DWORD>(path.size()),
                                        FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (length == 0)
            return lastWindowsFailure();
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        if (path.size() > 65536)
            return Failure::fromErrno(ENAMETOOLONG);
        path.resize(length + 1);
    }
    if (path.starts_with(L"\\\\?\\UNC\\"))
        return L"\\\\" + path.substr(8);
    if (path.starts_with(L"\\\\?\\"))
        return path.substr(4);
    return path;
}

Result<std::wstring> fullPathOf(const std::wstring& path) {
    const DWORD needed = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0)
        return lastWindowsFailure();
    std::wstring full(needed, L'\0');
    const DWORD length = ::GetFullPathNameW(path.c_str(), needed, full.data(), nullptr);
    if (length == 0 || length >= needed)
        return lastWindowsFailure();
    full.resize(length);
    return full;
}

bool isSeparator(wchar_t c) {
    return c == L'\\' || c == L'/';
}

// Length of the part of a full path that has no parent: "C:\", "\\host\share\" or their long
// forms.
std::size_t rootLength(std::wstring_view path) {
    std::wstring_view rest = path;
    std::size_t skipped = 0;
    if (rest.starts_with(L"\\\\?\\UNC\\")) {
        skipped = 8;
    } else if (rest.starts_with(L"\\\\?\\")) {
        skipped = 4;
        rest.remove_prefix(4);
        return rest.size() >= 3 && rest[1] == L':' ? skipped + 3 : skipped;
    } else if (rest.starts_with(L"\\\\")) {
        skipped = 2;
    } else {
        return rest.size() >= 3 && rest[1] == L':' ? 3 : 0;
    }
    // Host and share.
    std::size_t at = skipped;
    for (int part = 0; part < 2 && at < path.size(); ++part) {
        const std::size_t separator = path.find(L'\\', at);
        at = separator == std::wstring_view::npos ? path.size() : separator + 1;
    }
    return at;
}

std::wstring parentOf(const std::wstring& path) {
    std::size_t end = path.size();
    while (end > 0 && isSeparator(path[end - 1]))
        --end;
    const std::size_t separator = path.find_last_of(L"\\/", end == 0 ? 0 : end - 1);
    if (separator == std::wstring::npos)
        return path;
    const std::size_t root = rootLength(path);
    return separator + 1 <= root ? path.substr(0, root) : path.substr(0, separator);
}

std::wstring joined(std::wstring_view folder, std::wstring_view name) {
    return joinedPath(folder, name, kWindowsSeparators);
}

std::vector<FileIdentity> folderAndAncestors(HANDLE folder, const std::wstring& folderPath) {
    std::vector<FileIdentity> chain;
    if (std::optional<FileIdentity> identity = identityOf(folder))
        chain.push_back(*identity);
    std::wstring current = folderPath;
    for (;;) {
        const std::wstring parent = parentOf(current);
        if (parent == current || parent.size() < rootLength(folderPath))
            break;
        current = parent;
        const HANDLE handle = openForQuery(systemPath(utf8FromWide(current)));
        if (handle == INVALID_HANDLE_VALUE)
            continue;
        if (std::optional<FileIdentity> identity = identityOf(handle))
            chain.push_back(*identity);
        ::CloseHandle(handle);
    }
    return chain;
}

std::wstring folded(std::wstring text) {
    for (wchar_t& c : text)
        c = static_cast<wchar_t>(std::towlower(c));
    return text;
}

} // namespace

std::string ExportPath::resolvedPath() const {
    return joinedPath(folderPath, name, kWindowsSeparators);
}

bool ExportPath::holdsRegularFile() const {
    if (!folder.valid() || name.empty())
        return false;
    const DWORD attributes = ::GetFileAttributesW(systemPath(resolvedPath()).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES &&
           !(attributes &
             (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE));
}

Result<ExportPath> resolveExportPath(std::string_view path) {
    if (path.empty() || path.find('\0') != std::string_view::npos)
        return Failure::fromErrno(EINVAL);
    // "dir\" names the folder itself, never a file in it.
    if (path.back() == '\\' || path.back() == '/')
        return Failure::fromErrno(EISDIR);
    Result<std::wstring> full = fullPathOf(systemPath(path));
    if (!full)
        return full.failure();

    // A link in place of the file is followed, so the file it points to is the one replaced
    // (and the link stays), as on POSIX; a dangling one fails like a missing folder.
    std::wstring filePath = full.value();
    const DWORD attributes = ::GetFileAttributesW(filePath.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        if (attributes & FILE_ATTRIBUTE_DIRECTORY)
            return Failure::fromErrno(EISDIR);
        if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
            const HANDLE target = openForQuery(filePath);
            if (target == INVALID_HANDLE_VALUE)
                return lastWindowsFailure();
            Result<std::wstring> reached = finalPathOf(target);
            BY_HANDLE_FILE_INFORMATION info{};
            const bool known = ::GetFileInformationByHandle(target, &info);
            ::CloseHandle(target);
            if (!reached)
                return reached.failure();
            if (known && (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                return Failure::fromErrno(EISDIR);
            filePath = systemPath(utf8FromWide(reached.value()));
        }
    }

    const std::size_t separator = filePath.find_last_of(L"\\/");
    if (separator == std::wstring::npos || separator + 1 >= filePath.size())
        return Failure::fromErrno(EISDIR);
    const std::wstring name = filePath.substr(separator + 1);
    if (name == L"." || name == L"..")
        return Failure::fromErrno(EISDIR);
    std::wstring folderPath = filePath.substr(0, separator + 1);
    if (folderPath.size() > rootLength(folderPath))
        folderPath.pop_back();

    ExportPath resolved;
    Result<NativeHandle> folder = openFolderHeld(folderPath);
    if (!folder)
        return folder.failure();
    resolved.folder = std::move(folder.value());
    // The folder as the system reached it: junctions and linked folders on the way resolved.
    Result<std::wstring> reached = finalPathOf(nativeOf(resolved.folder));
    if (!reached)
        return reached.failure();
    resolved.folderPath = utf8FromWide(reached.value());
    resolved.name = utf8FromWide(name);
    resolved.folderAndAncestors = folderAndAncestors(nativeOf(resolved.folder), reached.value());
    return resolved;
}

PathSpellings spellingsOf(std::string_view hostPath) {
    PathSpellings result;
    std::string given(hostPath);
    while (given.size() > 3 && (given.back() == '/' || given.back() == '\\'))
        given.pop_back();
    result.spellings.push_back(given);
    const HANDLE handle = openForQuery(systemPath(given));
    if (handle == INVALID_HANDLE_VALUE)
        return result;
    if (Result<std::wstring> reached = finalPathOf(handle); reached) {
        std::string spelling = utf8FromWide(reached.value());
        if (spelling != given)
            result.spellings.push_back(std::move(spelling));
    }
    result.identity = identityOf(handle);
    ::CloseHandle(handle);
    return result;
}

std::vector<std::string> linkedPlacesBelow(std::string_view hostPath) {
    std::vector<std::string> places;
    std::set<std::wstring> visited;
    Result<std::wstring> rootFull = fullPathOf(systemPath(hostPath));
    std::wstring root = rootFull ? rootFull.value() : wideFromUtf8(hostPath);
    if (const HANDLE handle = openForQuery(root); handle != INVALID_HANDLE_VALUE) {
        if (Result<std::wstring> reached = finalPathOf(handle); reached)
            root = reached.value();
        ::CloseHandle(handle);
    }
    const std::wstring rootFolded = folded(root);
    // A link to the root's own folder or above it protects all that tree by its spelling
    // already; walking it would walk the whole disk.
    const auto holdsTheRoot = [&rootFolded](const std::wstring& place) {
        const std::wstring placeFolded = folded(place);
        return rootFolded == placeFolded ||
               (rootFolded.starts_with(placeFolded) &&
                (isSeparator(placeFolded.back()) || isSeparator(rootFolded[placeFolded.size()])));
    };
    std::vector<std::wstring> pending{root};
    while (!pending.empty() && visited.size() < kMostFoldersWalked) {
        const std::wstring folder = std::move(pending.back());
        pending.pop_back();
        if (!visited.insert(folded(folder)).second)
            continue;
        WIN32_FIND_DATAW entry;
        const std::wstring pattern = systemPath(utf8FromWide(joined(folder, L"*")));
        const HANDLE listing =
            ::FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &entry, FindExSearchNameMatch,
                               nullptr, FIND_FIRST_EX_LARGE_FETCH);
        if (listing == INVALID_HANDLE_VALUE)
            continue;
        do {
            const std::wstring_view name = entry.cFileName;
            if (name == L"." || name == L"..")
                continue;
            const std::wstring child = joined(folder, name);
            if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
                if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    pending.push_back(child);
                continue;
            }
            const HANDLE target = openForQuery(systemPath(utf8FromWide(child)));
            if (target == INVALID_HANDLE_VALUE)
                continue;
            Result<std::wstring> reached = finalPathOf(target);
            BY_HANDLE_FILE_INFORMATION info{};
            const bool known = ::GetFileInformationByHandle(target, &info);
            ::CloseHandle(target);
            if (!reached)
                continue;
            places.push_back(utf8FromWide(reached.value()));
            if (known && (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                !holdsTheRoot(reached.value()))
                pending.push_back(reached.value());
        } while (::FindNextFileW(listing, &entry));
        ::FindClose(listing);
    }
    return places;
}

bool folderAcceptsNewFiles(const std::string& hostPath) {
    if (hostPath.empty())
        return false;
    const DWORD attributes = ::GetFileAttributesW(systemPath(hostPath).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    // Access rights are only known for sure by trying: a file that deletes itself on close.
    const std::wstring probe = joined(systemPath(hostPath), L".tambrel-write-probe");
    const HANDLE handle =
        ::CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                      FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return ::GetLastError() == ERROR_FILE_EXISTS;
    ::CloseHandle(handle);
    return true;
}

} // namespace tambrel
