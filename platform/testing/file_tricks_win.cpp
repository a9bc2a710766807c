#include "platform/testing/file_tricks.h"

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

StatusFacts statusFacts(const std::filesystem::path& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(path.wstring().c_str(), GetFileExInfoStandard, &data))
        return {};
    // 100-nanosecond intervals since 1601, floored to seconds since 1970.
    auto seconds = [](const FILETIME& time) {
        const auto ticks = static_cast<std::int64_t>(
            static_cast<std::uint64_t>(time.dwHighDateTime) << 32 | time.dwLowDateTime);
        const std::int64_t sinceEpoch = ticks - 116444736000000000LL;
        return sinceEpoch >= 0 ? sinceEpoch / 10000000 : -((-sinceEpoch + 9999999) / 10000000);
    };
    const std::int64_t size = static_cast<std::int64_t>(
        static_cast<std::uint64_t>(data.nFileSizeHigh) << 32 | data.nFileSizeLow);
    return {size, seconds(data.ftLastWriteTime), seconds(data.ftLastAccessTime)};
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

bool setEntryTimes(const std::filesystem::path& path, std::int64_t secondsSinceEpoch) {
    // 100-nanosecond intervals since 1601.
    const auto ticks =
        static_cast<std::uint64_t>(secondsSinceEpoch * 10000000 + 116444736000000000LL);
    FILETIME time{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    const HANDLE handle = ::CreateFileW(
        path.wstring().c_str(), FILE_WRITE_ATTRIBUTES,
        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
        FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    const bool set = ::SetFileTime(handle, nullptr, &time, &time) != 0;
    ::CloseHandle(handle);
    return set;
}

std::shared_ptr<void> holdWriteLease(const std::filesystem::path&) {
    return nullptr; // the tests hold files there with holdWithoutSharing instead
}

unsigned setCreationMask(unsigned) {
    return 0;
}

std::uint32_t effectiveUser() {
    return 0;
}

std::uint32_t effectiveGroup() {
    return 0;
}

bool setOwner(const std::filesystem::path&, std::uint32_t, std::optional<std::uint32_t>, bool) {
    return false;
}

bool mayListFolder(const std::filesystem::path& folder) {
    std::error_code error;
    std::filesystem::directory_iterator listing(folder, error);
    return !error;
}

} // namespace tambrel::testing
