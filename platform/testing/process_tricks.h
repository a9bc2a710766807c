// Process matters the tests need that differ between systems: work run in a child process (for
// what cannot be undone, such as a lowered priority or a dropped privilege), the priorities of
// the threads, and the process's limit on the size of a written file.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tambrel::testing {

// How a child process ended: the bytes its work returned, its exit code (0 when it sent them
// all), and the signal that ended it, if one did.
struct ChildOutcome {
    std::string output;
    int exitCode = -1;
    int signal = 0;
};

// Runs `work` in a child process, a copy of this one, and waits for it; empty when no child could
// be started (errno says why) or the system makes no such copies.
std::optional<ChildOutcome> runInChildProcess(const std::function<std::string()>& work);

// Starts the program `arguments[0]` (looked up on PATH) with the rest as its arguments and this
// process's environment, and waits for it to end; its exit code, or empty when it could not be
// started or a signal ended it.
std::optional<int> runProgram(const std::vector<std::string>& arguments);

// Becomes `user` of `group` with no further groups, for good; false when the system refuses
// (errno says why). For a child process of a superuser.
bool becomeUser(std::uint32_t user, std::uint32_t group);

// The system's number of the calling thread.
std::int64_t currentThreadId();

// The nice value of a thread of this process (0: the calling one); empty when unknown.
std::optional<int> niceValueOf(std::int64_t thread);

// The I/O priority (class << 13 | level) of a thread of this process (0: the calling one); empty
// when the system does not say.
std::optional<long> ioPriorityOf(std::int64_t thread);

struct ThreadPriority {
    std::string name;
    int nice = 0; // -100 when unknown
    long io = -1; // -1 when unknown
};

// Name, nice value and I/O priority of every thread of this process.
std::vector<ThreadPriority> threadPriorities();

// Lowers the soft limit on the size of a file this process writes to `bytes` until the result
// is destroyed; empty where the system has no such limit.
std::shared_ptr<void> limitFileSize(std::uint64_t bytes);

} // namespace tambrel::testing
