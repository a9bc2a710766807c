#include "inventory/process_priority.h"

#include <atomic>
#include <cerrno>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace tambrel {
namespace {

int niceOf(pid_t thread) {
    errno = 0;
    return ::getpriority(PRIO_PROCESS, static_cast<id_t>(thread));
}

// Lowering is irreversible, so it happens in a child process; the exit code says what failed.
int lowerInChild() {
    const int before = niceOf(0);
    const int expected = std::min(before + 10, 19);
    std::atomic<pid_t> workerId{0};
    std::atomic<bool> stop{false};
    std::thread worker([&] {
        workerId = static_cast<pid_t>(::syscall(SYS_gettid));
        while (!stop)
            std::this_thread::yield();
    });
    while (workerId == 0)
        std::this_thread::yield();

    int result = 0;
    if (!SetProcessPriority(BelowNormalPriorityClass))
        result = 1;
    else if (niceOf(static_cast<pid_t>(::syscall(SYS_gettid))) != expected)
        result = 2;
    else if (niceOf(workerId) != expected)
        result = 3;
    else if (!SetProcessPriority(BelowNormalPriorityClass) || niceOf(0) != expected)
        result = 4; // a second call (a reload) neither lowers further nor raises
    else if (SetProcessPriority(0x0020) || niceOf(0) != expected)
        result = 5; // normal priority is never granted back
    else {
        const long io = ::syscall(SYS_ioprio_get, 1, 0);
        if (io >= 0 && io != (2 << 13 | 7))
            result = 6;
    }
    stop = true;
    worker.join();
    return result;
}

TEST(ProcessPriority, BelowNormalLowersEveryThreadOnceAndForGood) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0)
        ::_exit(lowerInChild());
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

} // namespace
} // namespace tambrel
