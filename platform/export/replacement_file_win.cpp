#include "common/paths/path_join.h"
#include "platform/export/replacement_file.h"
#include "platform/text/windows_text_win.h"

#include <cerrno>
#include <random>
#include <utility>
#include <windows.h>

namespace tambrel {
namespace {

using platform::lastWindowsFailure;
using platform::systemPath;

HANDLE nativeOf(std::intptr_t handle) {
    return reinterpret_cast<HANDLE>(handle);
}

std::string besideTarget(const ExportPath& target, std::string_view name) {
    return joinedPath(target.folderPath, name, kWindowsSeparators);
}

// A fresh name beside the target, created only if nothing is there (CREATE_NEW), so neither an
// existing file nor a link planted under that name is ever opened. No sharing: nothing else
// reads a half-written file.
HANDLE createTemporary(const ExportPath& target, std::string& name) {
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device source;
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = ".tambrel-export-";
        for (int i = 0; i < 8; ++i)
            name.push_back(kLetters[source() % (sizeof kLetters - 1)]);
        const HANDLE handle =
            ::CreateFileW(systemPath(besideTarget(target, name)).c_str(), GENERIC_WRITE, 0, nullptr,
                          CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle != INVALID_HANDLE_VALUE || ::GetLastError() != ERROR_FILE_EXISTS)
            return handle;
    }
    ::SetLastError(ERROR_FILE_EXISTS);
    return INVALID_HANDLE_VALUE;
}

} // namespace

Result<ReplacementFile> ReplacementFile::create(ExportPath target) {
    if (!target.folder.valid() || target.name.empty())
        return Failure::fromErrno(EINVAL);
    const DWORD attributes =
        ::GetFileAttributesW(systemPath(besideTarget(target, target.name)).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        if (attributes & FILE_ATTRIBUTE_DIRECTORY)
            return Failure::fromErrno(EISDIR);
        // A device must never be swapped for a plain file; a link that appeared since the path
        // was resolved is not followed either.
        if (attributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE))
            return Failure::fromErrno(EPERM);
        if (attributes & FILE_ATTRIBUTE_READONLY)
            return Failure::fromErrno(EACCES);
    } else if (const DWORD error = ::GetLastError();
               error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) {
        return platform::failureFromWindowsError(error);
    }

    std::string temporary;
    const HANDLE handle = createTemporary(target, temporary);
    if (handle == INVALID_HANDLE_VALUE)
        return lastWindowsFailure();
    return ReplacementFile(std::move(target), std::move(temporary),
                           reinterpret_cast<std::intptr_t>(handle));
}

void ReplacementFile::discard() {
    handle_.reset();
    if (!committed_ && !temporaryName_.empty()) {
        ::DeleteFileW(systemPath(besideTarget(target_, temporaryName_)).c_str());
        committed_ = true;
    }
}

Status ReplacementFile::write(std::string_view bytes) {
    if (!handle_.valid())
        return Failure::fromErrno(EBADF);
    while (!bytes.empty()) {
        const DWORD chunk = static_cast<DWORD>(bytes.size() < (1u << 30) ? bytes.size() : 1u << 30);
        DWORD written = 0;
        if (!::WriteFile(nativeOf(handle_.get()), bytes.data(), chunk, &written, nullptr))
            return lastWindowsFailure();
        if (written == 0)
            return Failure::fromErrno(ENOSPC);
        bytes.remove_prefix(written);
        bytesWritten_ += written;
    }
    return {};
}

// The system's lazy writer already starts on written data; there is no range hint to give.
void ReplacementFile::startWriteback() {}

Status ReplacementFile::commit() {
    if (!handle_.valid() || committed_)
        return Failure::fromErrno(EBADF);
    if (!::FlushFileBuffers(nativeOf(handle_.get()))) {
        Failure failure = lastWindowsFailure();
        discard();
        return failure;
    }
    if (Status closed = handle_.close(); !closed) {
        Failure failure = closed.failure();
        discard();
        return failure;
    }
    const std::wstring temporary = systemPath(besideTarget(target_, temporaryName_));
    const std::wstring destination = systemPath(targetPath_);
    // Where there is no old file, a plain move that is on disk when it returns.
    if (::GetFileAttributesW(destination.c_str()) == INVALID_FILE_ATTRIBUTES) {
        if (!::MoveFileExW(temporary.c_str(), destination.c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            Failure failure = lastWindowsFailure();
            discard();
            return failure;
        }
        committed_ = true;
        return {};
    }
    // ReplaceFileW keeps the old file's attributes, security and streams, as the POSIX side
    // keeps its mode. The old file goes to a backup name of our own rather than one the system
    // picks, so that no stray copy of it is left when the swap fails, and it is put back when
    // the swap failed halfway.
    const std::wstring backup = temporary + L".old";
    if (!::ReplaceFileW(destination.c_str(), temporary.c_str(), backup.c_str(),
                        REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)) {
        const DWORD error = ::GetLastError();
        // Whatever the step that failed, the old file ends under its own name again.
        if (::GetFileAttributesW(destination.c_str()) == INVALID_FILE_ATTRIBUTES)
            ::MoveFileExW(backup.c_str(), destination.c_str(), MOVEFILE_WRITE_THROUGH);
        else
            ::DeleteFileW(backup.c_str());
        Failure failure = platform::failureFromWindowsError(error);
        discard();
        return failure;
    }
    ::DeleteFileW(backup.c_str());
    committed_ = true;
    return {};
}

} // namespace tambrel
