#include "tests/support/file_tricks.h"

#include <chrono>
#include <windows.h>

namespace tambrel::testing {

bool makeFifo(const std::filesystem::path&) {
    return false; // Windows has named pipes, but never in a folder of files
}

bool makeSocket(const std::filesystem::path&) {
    return false; // no socket lives in a folder of files there
}

bool makeCharacterDevice(const std::filesystem::path&) {
    return false;
}

bool runningAsSuperuser() {
    return false; // an administrator is still refused what a file's security refuses
}

std::vector<std::string> namesInListingOrder(const std::filesystem::path& folder) {
    std::vector<std::string> names{".", ".."};
    for (const std::filesystem::directory_entry& entry :
         std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    return names;
}

std::int64_t modificationSeconds(const std::filesystem::path& path) {
    const auto moment = std::chrono::file_clock::to_sys(std::filesystem::last_write_time(path));
    return std::chrono::floor<std::chrono::seconds>(moment).time_since_epoch().count();
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
