#include "localize/library_files.h"

#include "common/ascii_case.h"
#include "platform/files/file_reads.h"
#include "platform/files/folder_listing.h"
#include "platform/paths/host_paths.h"

namespace tambrel {
namespace {

bool isRegularFile(const std::string& path) {
    Result<platform::PathStatus> info = platform::statusOfPath(path);
    return info && info->kind == platform::EntryKind::File;
}

// Visits every regular file of `folder` until `visit` returns false.
template <typename Visit> Status forEachRegularFile(const std::string& folder, Visit&& visit) {
    Result<platform::FolderItems> entries = platform::listFolder(folder);
    if (!entries)
        return entries.failure();
    for (const platform::FolderItem entry : *entries) {
        if (entry.kind == platform::EntryKind::File && !visit(entry.name))
            break;
    }
    return Status::success();
}

// Steps back `count` UTF-8 characters from `end`; a name is text, not bytes.
std::size_t characterStartBefore(std::string_view text, std::size_t end, std::size_t count) {
    std::size_t at = end;
    while (count > 0 && at > 0) {
        --at;
        if ((static_cast<unsigned char>(text[at]) & 0xC0) != 0x80)
            --count;
    }
    return at;
}

} // namespace

bool equalIgnoringCase(std::string_view left, std::string_view right) {
    return equalIgnoringAsciiCase(left, right);
}

std::optional<std::string> findFileIgnoringCase(const std::string& folder,
                                                std::string_view fileName) {
    std::string exact = platform::joinedHostPath(folder, fileName);
    if (isRegularFile(exact))
        return exact;
    std::optional<std::string> found;
    Status listed = forEachRegularFile(folder, [&](std::string_view name) {
        if (!equalIgnoringCase(name, fileName))
            return true;
        found = platform::joinedHostPath(folder, name);
        return false;
    });
    if (!listed)
        return std::nullopt;
    return found;
}

Result<std::vector<std::string>> listFileNames(const std::string& folder) {
    std::vector<std::string> names;
    Status listed = forEachRegularFile(folder, [&](std::string_view name) {
        names.emplace_back(name);
        return true;
    });
    if (!listed)
        return listed.failure();
    return names;
}

std::optional<std::string> libraryAbbreviation(std::string_view fileName,
                                               std::string_view executableName) {
    std::string prefix = std::string(executableName) + "_";
    if (fileName.size() < prefix.size() || fileName.size() < 3)
        return std::nullopt;
    if (!equalIgnoringCase(fileName.substr(0, prefix.size()), prefix) ||
        !equalIgnoringCase(fileName.substr(fileName.size() - 3), "DLL"))
        return std::nullopt;
    std::size_t end = characterStartBefore(fileName, fileName.size(), 4);
    std::size_t begin = characterStartBefore(fileName, end, 3);
    return std::string(fileName.substr(begin, end - begin));
}

} // namespace tambrel
