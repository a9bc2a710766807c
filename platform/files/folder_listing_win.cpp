#include "common/paths/path_join.h"
#include "platform/files/file_reads.h"
#include "platform/files/folder_listing.h"
#include "platform/text/windows_text_win.h"

#include <cerrno>
#include <cstdint>
#include <windows.h>

// Windows has no handle to open a file relative to, so an open folder keeps its path and files
// are opened by their full path through the read-only file of the layer, which shares read,
// write and delete and never locks a file the server is writing.
namespace tambrel::platform {
namespace {

std::string childPath(const std::string& folder, const std::string& name) {
    return joinedPath(folder, name, kWindowsSeparators);
}

class FindHandle {
public:
    explicit FindHandle(HANDLE handle) : handle_(handle) {}
    ~FindHandle() {
        if (handle_ != INVALID_HANDLE_VALUE)
            ::FindClose(handle_);
    }
    FindHandle(const FindHandle&) = delete;
    FindHandle& operator=(const FindHandle&) = delete;
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_;
};

bool isDotEntry(const wchar_t* name) {
    return name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0'));
}

// Visits every entry of the folder until `visit` returns false; the failure of the listing
// itself, or of its continuation, is returned.
template <typename Visit> Status forEachEntry(const std::string& hostPath, Visit&& visit) {
    std::wstring pattern = systemPath(hostPath);
    if (pattern.empty() || (pattern.back() != L'\\' && pattern.back() != L'/'))
        pattern.push_back(L'\\');
    pattern.push_back(L'*');
    WIN32_FIND_DATAW data{};
    // Basic information (no short names) and large fetches: one call brings many entries with
    // their size and time, so a listed file never needs a status call of its own.
    FindHandle find(::FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data,
                                       FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
    if (find.get() == INVALID_HANDLE_VALUE) {
        const DWORD error = ::GetLastError();
        // An empty folder has no entry at all where "." is not reported (the root of a drive).
        if (error == ERROR_FILE_NOT_FOUND)
            return {};
        return failureFromWindowsError(error);
    }
    do {
        if (!isDotEntry(data.cFileName) && !visit(data))
            return {};
    } while (::FindNextFileW(find.get(), &data));
    const DWORD error = ::GetLastError();
    if (error != ERROR_NO_MORE_FILES)
        return failureFromWindowsError(error);
    return {};
}

// The folder's entries a part at a time, as OpenFolder::listInParts hands them out.
Status listInPartsAt(const std::string& hostPath, std::size_t partSize,
                     const std::function<void(FolderItems& part)>& take) {
    FolderItemParts parts(partSize, take);
    Status listed = forEachEntry(hostPath, [&](const WIN32_FIND_DATAW& data) {
        const DWORD attributes = data.dwFileAttributes;
        // Junctions and directory links may lead anywhere, out of the tree being walked or
        // round in a circle: they are not followed. Devices are no files.
        EntryKind kind = EntryKind::File;
        if (attributes & FILE_ATTRIBUTE_DIRECTORY)
            kind =
                (attributes & FILE_ATTRIBUTE_REPARSE_POINT) ? EntryKind::Other : EntryKind::Folder;
        else if (attributes & FILE_ATTRIBUTE_DEVICE)
            kind = EntryKind::Other;
        if (kind != EntryKind::Other)
            parts.add(utf8FromWide(data.cFileName), kind);
        return true;
    });
    if (!listed)
        return listed;
    parts.finish();
    return {};
}

} // namespace

Result<OpenFolder> OpenFolder::open(const std::string& hostPath) {
    // The listing is what proves the folder can be read; opening only names it.
    Result<PathStatus> status = statusOfPath(hostPath);
    if (!status)
        return status.failure();
    if (status->kind != EntryKind::Folder)
        return Failure::fromErrno(ENOTDIR);
    return OpenFolder(NativeHandle(), hostPath);
}

Result<OpenFolder> OpenFolder::openIn(const OpenFolder& parent, const std::string& name) {
    return open(childPath(parent.hostPath_, name));
}

Result<FolderItems> OpenFolder::list() const {
    return listFolder(hostPath_);
}

Status OpenFolder::listInParts(std::size_t partSize,
                               const std::function<void(FolderItems& part)>& take) const {
    return listInPartsAt(hostPath_, partSize, take);
}

Result<FileStatus> OpenFolder::statusOf(const std::string& name) const {
    Result<PathStatus> status = statusOfPath(childPath(hostPath_, name));
    if (!status)
        return status.failure();
    return status->status;
}

Result<ReadOnlyFile> ReadOnlyFile::openIn(const OpenFolder& folder, const std::string& name) {
    return open(childPath(folder.hostPath_, name));
}

Result<FolderItems> listFolder(const std::string& hostPath) {
    FolderItems items;
    if (Status listed = listInPartsAt(hostPath, SIZE_MAX,
                                      [&items](FolderItems& all) { items = std::move(all); });
        !listed)
        return listed.failure();
    return items;
}

std::optional<std::string> findEntryIgnoringCase(const std::string& hostPath,
                                                 const std::string& name) {
    const std::wstring wanted = wideFromUtf8(name);
    std::optional<std::string> found;
    Status listed = forEachEntry(hostPath, [&](const WIN32_FIND_DATAW& data) {
        if (::CompareStringOrdinal(data.cFileName, -1, wanted.c_str(),
                                   static_cast<int>(wanted.size()), TRUE) == CSTR_EQUAL) {
            found = utf8FromWide(data.cFileName);
            return false;
        }
        return true;
    });
    if (!listed)
        return std::nullopt;
    return found;
}

} // namespace tambrel::platform
