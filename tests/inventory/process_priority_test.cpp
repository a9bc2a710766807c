#include "inventory/process_priority.h"
#include "platform/testing/process_tricks.h"

#include <atomic>
#include <gtest/gtest.h>
#include <string>
#include <thread>

namespace tambrel {
namespace {

using testing::currentThreadId;
using testing::ioPriorityOf;

int niceOf(std::int64_t thread) {
    return testing::niceValueOf(thread).value_or(-100);
}

// Lowering is irreversible, so it happens in a child process; the exit code says what failed.
int lowerInChild() {
    const int before = niceOf(0);
    const int expected = std::min(before + 10, 19);
    std::atomic<std::int64_t> workerId{0};
    std::atomic<bool> stop{false};
    std::thread worker([&] {
        workerId = currentThreadId();
        while (!stop)
            std::this_thread::yield();
    });
    while (workerId == 0)
        std::this_thread::yield();

    int result = 0;
    if (!SetProcessPriority(BelowNormalPriorityClass))
        result = 1;
    else if (niceOf(currentThreadId()) != expected)
        result = 2;
    else if (niceOf(workerId) != expected)
        result = 3;
    else if (!SetProcessPriority(BelowNormalPriorityClass) || niceOf(0) != expected)
        result = 4; // a second call (a reload) neither lowers further nor raises
    else if (SetProcessPriority(0x0020) || niceOf(0) != expected)
        result = 5; // normal priority is never granted back
    else {
        const std::optional<long> io = ioPriorityOf(0);
        if (io && *io != (2 << 13 | 7))
            result = 6;
    }
    stop = true;
    worker.join();
    return result;
}

TEST(ProcessPriority, BelowNormalLowersEveryThreadOnceAndForGood) {
    const std::optional<testing::ChildOutcome> child =
        testing::runInChildProcess([] { return std::to_string(lowerInChild()); });
    ASSERT_TRUE(child);
    ASSERT_EQ(child->signal, 0);
    ASSERT_EQ(child->exitCode, 0);
    EXPECT_EQ(child->output, "0");
}

} // namespace
} // namespace tambrel
