#include "platform/files/posix_entries.h"
#include "platform/process/standard_streams.h"

#include <cerrno>
#include <csignal>
#include <unistd.h>

namespace tambrel::platform {
std::vector<std::string> programArguments(int argc, char** argv) {
    return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + (argc > 0 ? argc : 0));
}

void ignoreBrokenPipeSignal() {
    std::signal(SIGPIPE, SIG_IGN);
}

Status writeStandardOutput(std::string_view bytes) {
    return writeAll(STDOUT_FILENO, bytes, EIO);
}

void writeStandardError(std::string_view bytes) {
    (void)writeAll(STDERR_FILENO, bytes, EIO);
}

} // namespace tambrel::platform
