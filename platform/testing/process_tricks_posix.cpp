#include "platform/testing/process_tricks.h"

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <grp.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace tambrel::testing {
namespace {

bool writeAll(int descriptor, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(descriptor, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

} // namespace

std::optional<int> runProgram(const std::vector<std::string>& arguments) {
    if (arguments.empty())
        return std::nullopt;
    std::vector<std::string> copies(arguments);
    std::vector<char*> argv;
    for (std::string& argument : copies)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    pid_t child = 0;
    if (::posix_spawnp(&child, argv[0], nullptr, nullptr, argv.data(), environ) != 0)
        return std::nullopt;
    int status = 0;
    while (::waitpid(child, &status, 0) < 0)
        if (errno != EINTR)
            return std::nullopt;
    if (!WIFEXITED(status))
        return std::nullopt;
    return WEXITSTATUS(status);
}

std::optional<ChildOutcome> runInChildProcess(const std::function<std::string()>& work) {
    int channel[2];
    if (::pipe(channel) != 0)
        return std::nullopt;
    const pid_t child = ::fork();
    if (child < 0) {
        const int error = errno;
        ::close(channel[0]);
        ::close(channel[1]);
        errno = error;
        return std::nullopt;
    }
    if (child == 0) {
        ::close(channel[0]);
        const std::string output = work();
        ::_exit(writeAll(channel[1], output) ? 0 : 1);
    }
    ::close(channel[1]);
    ChildOutcome outcome;
    char buffer[4096];
    for (;;) {
        const ssize_t count = ::read(channel[0], buffer, sizeof buffer);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            break;
        outcome.output.append(buffer, static_cast<std::size_t>(count));
    }
    ::close(channel[0]);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFSIGNALED(status))
        outcome.signal = WTERMSIG(status);
    else if (WIFEXITED(status))
        outcome.exitCode = WEXITSTATUS(status);
    return outcome;
}

bool becomeUser(std::uint32_t user, std::uint32_t group) {
    return ::setgroups(0, nullptr) == 0 && ::setgid(group) == 0 && ::setuid(user) == 0;
}

std::int64_t currentThreadId() {
    return static_cast<std::int64_t>(::syscall(SYS_gettid));
}

std::optional<int> niceValueOf(std::int64_t thread) {
    errno = 0;
    const int nice = ::getpriority(PRIO_PROCESS, static_cast<id_t>(thread));
    if (errno != 0)
        return std::nullopt;
    return nice;
}

std::optional<long> ioPriorityOf(std::int64_t thread) {
    const long priority = ::syscall(SYS_ioprio_get, 1, static_cast<pid_t>(thread));
    if (priority < 0)
        return std::nullopt;
    return priority;
}

std::vector<ThreadPriority> threadPriorities() {
    std::vector<ThreadPriority> priorities;
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
        const std::int64_t thread = std::stoll(task.path().filename().string());
        std::string name;
        std::getline(std::ifstream(task.path() / "comm"), name);
        priorities.push_back(
            {name, niceValueOf(thread).value_or(-100), ioPriorityOf(thread).value_or(-1)});
    }
    return priorities;
}

std::shared_ptr<void> limitFileSize(std::uint64_t bytes) {
    auto saved = std::make_shared<rlimit>();
    if (::getrlimit(RLIMIT_FSIZE, saved.get()) != 0)
        return nullptr;
    rlimit limited = *saved;
    limited.rlim_cur = static_cast<rlim_t>(bytes);
    if (::setrlimit(RLIMIT_FSIZE, &limited) != 0)
        return nullptr;
    return std::shared_ptr<void>(saved.get(),
                                 [saved](void*) { ::setrlimit(RLIMIT_FSIZE, saved.get()); });
}

} // namespace tambrel::testing
