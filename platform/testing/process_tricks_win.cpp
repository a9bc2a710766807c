#include "platform/testing/process_tricks.h"

#include <cerrno>
#include <windows.h>

namespace tambrel::testing {

// The benchmarks that start programs run on POSIX systems only.
std::optional<int> runProgram(const std::vector<std::string>&) {
    return std::nullopt;
}

std::optional<ChildOutcome> runInChildProcess(const std::function<std::string()>&) {
    errno = ENOSYS; // no process there is a copy of another
    return std::nullopt;
}

bool becomeUser(std::uint32_t, std::uint32_t) {
    errno = ENOSYS;
    return false;
}

std::int64_t currentThreadId() {
    return static_cast<std::int64_t>(::GetCurrentThreadId());
}

std::optional<int> niceValueOf(std::int64_t) {
    return std::nullopt;
}

std::optional<long> ioPriorityOf(std::int64_t) {
    return std::nullopt;
}

std::vector<ThreadPriority> threadPriorities() {
    return {};
}

std::shared_ptr<void> limitFileSize(std::uint64_t) {
    return nullptr;
}

} // namespace tambrel::testing
