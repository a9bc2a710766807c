#include "tests/support/file_tricks.h"

#include <chrono>

namespace tambrel::testing {

bool makeFifo(const std::filesystem::path&) {
    return false; // Windows has named pipes, but never in a folder of files
}

void setModificationTime(const std::filesystem::path& path, std::int64_t secondsSinceEpoch) {
    std::filesystem::last_write_time(
        path, std::chrono::file_clock::from_sys(
                  std::chrono::sys_seconds{std::chrono::seconds{secondsSinceEpoch}}));
}

} // namespace tambrel::testing
