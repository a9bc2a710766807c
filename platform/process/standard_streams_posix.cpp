#include "platform/process/standard_streams.h"

#include <cerrno>
#include <csignal>
#include <unistd.h>

namespace tambrel::platform {
namespace {

Status writeAll(int descriptor, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(descriptor, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return Failure::fromErrno();
        }
        if (written == 0)
            return Failure::fromErrno(EIO);
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return {};
}

} // namespace

std::vector<std::string> programArguments(int argc, char** argv) {
    return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + (argc > 0 ? argc : 0));
}

void ignoreBrokenPipeSignal() {
    std::signal(SIGPIPE, SIG_IGN);
}

Status writeStandardOutput(std::string_view bytes) {
    return writeAll(STDOUT_FILENO, bytes);
}

void writeStandardError(std::string_view bytes) {
    (void)writeAll(STDERR_FILENO, bytes);
}

} // namespace tambrel::platform
