#include "platform/export/direct_output.h"
#include "platform/text/windows_text_win.h"

#include <algorithm>
#include <windows.h>

namespace tambrel::platform {
namespace {

const std::intptr_t kClosed = reinterpret_cast<std::intptr_t>(INVALID_HANDLE_VALUE);

HANDLE handleOf(std::intptr_t value) {
    return reinterpret_cast<HANDLE>(value);
}

} // namespace

Result<std::optional<DirectOutput>> DirectOutput::open(const std::string& path) {
    // Opened without creating or truncating; only the handle's type tells a disk file from a
    // console, a pipe or a device such as NUL.
    const HANDLE handle =
        ::CreateFileW(systemPath(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return std::optional<DirectOutput>();
    const DWORD type = ::GetFileType(handle);
    if (type != FILE_TYPE_CHAR && type != FILE_TYPE_PIPE) {
        ::CloseHandle(handle);
        return std::optional<DirectOutput>();
    }
    return std::optional<DirectOutput>(DirectOutput(reinterpret_cast<std::intptr_t>(handle)));
}

DirectOutput::DirectOutput(DirectOutput&& other) noexcept : handle_(other.handle_) {
    other.handle_ = kClosed;
}

DirectOutput::~DirectOutput() {
    if (handle_ != kClosed)
        ::CloseHandle(handleOf(handle_));
}

Status DirectOutput::write(std::string_view bytes) {
    while (!bytes.empty()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        DWORD written = 0;
        if (!::WriteFile(handleOf(handle_), bytes.data(), chunk, &written, nullptr))
            return lastWindowsFailure();
        bytes.remove_prefix(written);
    }
    return {};
}

Status DirectOutput::close() {
    const HANDLE handle = handleOf(handle_);
    handle_ = kClosed;
    if (!::CloseHandle(handle))
        return lastWindowsFailure();
    return {};
}

} // namespace tambrel::platform
