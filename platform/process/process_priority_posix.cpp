#include "platform/process/process_priority.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace tambrel::platform {
namespace {

constexpr int kBelowNormalNiceStep = 10;
constexpr int kLowestNice = 19;

// The I/O priority interface has no glibc wrapper.
constexpr int kIoPriorityWhoProcess = 1;
constexpr int kIoPriorityClassShift = 13;
constexpr int kIoPriorityClassBestEffort = 2;
constexpr int kIoPriorityClassIdle = 3;
constexpr int kIoPriorityLowestLevel = 7;

// Nice value of the process when it was first lowered: calling again (every reload does) must
// not keep pushing it down, and must never raise it.
int baselineNice() {
    static const int nice = [] {
        errno = 0;
        const int value = ::getpriority(PRIO_PROCESS, 0);
        return errno == 0 ? value : 0;
    }();
    return nice;
}

bool lowerThread(pid_t thread, int targetNice) {
    errno = 0;
    const int current = ::getpriority(PRIO_PROCESS, static_cast<id_t>(thread));
    if (errno != 0)
        return false;
    if (current < targetNice &&
        ::setpriority(PRIO_PROCESS, static_cast<id_t>(thread), targetNice) != 0)
        return false;

    // Best effort: the nice value is what "set" means; the I/O class only ever goes down.
    const long ioPriority = ::syscall(SYS_ioprio_get, kIoPriorityWhoProcess, thread);
    const long ioClass = ioPriority >= 0 ? ioPriority >> kIoPriorityClassShift : 0;
    const long ioLevel = ioPriority >= 0 ? ioPriority & ((1 << kIoPriorityClassShift) - 1) : 0;
    const bool alreadyLowest =
        ioClass == kIoPriorityClassIdle ||
        (ioClass == kIoPriorityClassBestEffort && ioLevel >= kIoPriorityLowestLevel);
    if (!alreadyLowest)
        ::syscall(SYS_ioprio_set, kIoPriorityWhoProcess, thread,
                  kIoPriorityClassBestEffort << kIoPriorityClassShift | kIoPriorityLowestLevel);
    return true;
}

// The nice value the program was lowered to, once it was.
constexpr int kNotLowered = -100;
std::atomic<int> loweredNice{kNotLowered};

} // namespace

bool lowerProcessPriority() {
    const int targetNice = std::min(baselineNice() + kBelowNormalNiceStep, kLowestNice);
    loweredNice = targetNice;

    // The nice value belongs to each thread on Linux, so every thread is lowered.
    DIR* tasks = ::opendir("/proc/self/task");
    if (!tasks)
        return lowerThread(static_cast<pid_t>(::syscall(SYS_gettid)), targetNice);
    bool allLowered = true;
    while (const dirent* entry = ::readdir(tasks)) {
        char* end = nullptr;
        const long thread = std::strtol(entry->d_name, &end, 10);
        if (end == entry->d_name || *end != '\0' || thread <= 0)
            continue;
        allLowered = lowerThread(static_cast<pid_t>(thread), targetNice) && allLowered;
    }
    ::closedir(tasks);
    return allLowered;
}

void lowerThisThreadLikeProcess() {
    const int targetNice = loweredNice;
    if (targetNice != kNotLowered)
        (void)lowerThread(static_cast<pid_t>(::syscall(SYS_gettid)), targetNice);
}

} // namespace tambrel::platform
