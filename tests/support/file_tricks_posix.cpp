#include "tests/support/file_tricks.h"

#include <chrono>
#include <sys/stat.h>

namespace tambrel::testing {

bool makeFifo(const std::filesystem::path& path) {
    return ::mkfifo(path.c_str(), 0644) == 0;
}

void setModificationTime(const std::filesystem::path& path, std::int64_t secondsSinceEpoch) {
    std::filesystem::last_write_time(
        path, std::chrono::file_clock::from_sys(
                  std::chrono::sys_seconds{std::chrono::seconds{secondsSinceEpoch}}));
}

std::shared_ptr<void> holdWithoutSharing(const std::filesystem::path&) {
    return nullptr; // POSIX locks are advisory: a reader is never kept out
}

} // namespace tambrel::testing
