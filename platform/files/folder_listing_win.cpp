#include "platform/files/folder_listing.h"
#include "platform/text/windows_text_win.h"

#include <windows.h>

namespace tambrel::platform {
namespace {

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

} // namespace

Result<std::vector<ListedEntry>> listFolder(const std::string& hostPath) {
    std::vector<ListedEntry> entries;
    Status listed = forEachEntry(hostPath, [&](const WIN32_FIND_DATAW& data) {
        ListedEntry entry;
        entry.name = utf8FromWide(data.cFileName);
        const DWORD attributes = data.dwFileAttributes;
        if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
            // Junctions and directory links may lead anywhere, out of the tree being walked
            // or round in a circle: they are not followed.
            entry.kind =
                (attributes & FILE_ATTRIBUTE_REPARSE_POINT) ? EntryKind::Other : EntryKind::Folder;
        } else if (attributes & FILE_ATTRIBUTE_DEVICE) {
            entry.kind = EntryKind::Other;
        } else {
            entry.kind = EntryKind::File;
            FileStatus status;
            status.size = static_cast<std::int64_t>(
                static_cast<std::uint64_t>(data.nFileSizeHigh) << 32 | data.nFileSizeLow);
            status.lastModified = timespecFromFileTime(data.ftLastWriteTime.dwLowDateTime,
                                                       data.ftLastWriteTime.dwHighDateTime);
            // A file link reports the link's own size and time; the open file says the truth.
            if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT))
                entry.status = status;
        }
        entries.push_back(std::move(entry));
        return true;
    });
    if (!listed)
        return listed.failure();
    return entries;
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
