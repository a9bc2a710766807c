#include "tests/support/file_tricks.h"

#include <chrono>
#include <windows.h>

namespace tambrel::testing {

bool makeFifo(const std::filesystem::path&) {
    return false; // Windows has named pipes, but never in a folder of files
}

void setModificationTime(const std::filesystem::path& path, std::int64_t secondsSinceEpoch) {
    std::filesystem::last_write_time(
        path, std::chrono::file_clock::from_sys(
                  std::chrono::sys_seconds{std::chrono::seconds{secondsSinceEpoch}}));
}

std::shared_ptr<void> holdWithoutSharing(const std::filesystem::path& path) {
    const HANDLE handle = ::CreateFileW(path.wstring().c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return nullptr;
    return std::shared_ptr<void>(handle, [](void* held) { ::CloseHandle(held); });
}

} // namespace tambrel::testing
