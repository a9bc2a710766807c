#include "platform/export/direct_output.h"
#include "platform/files/posix_entries.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tambrel::platform {
namespace {

constexpr std::intptr_t kClosed = -1;

} // namespace

Result<std::optional<DirectOutput>> DirectOutput::open(const std::string& path) {
    struct stat info;
    if (::stat(path.c_str(), &info) != 0 || S_ISREG(info.st_mode) || S_ISDIR(info.st_mode))
        return std::optional<DirectOutput>();
    // Blocking on purpose: a FIFO waits for its reader as a shell's redirection does.
    const int descriptor = ::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
    if (descriptor < 0)
        return Failure::fromErrno();
    return std::optional<DirectOutput>(DirectOutput(descriptor));
}

DirectOutput::DirectOutput(DirectOutput&& other) noexcept : handle_(other.handle_) {
    other.handle_ = kClosed;
}

DirectOutput::~DirectOutput() {
    if (handle_ != kClosed)
        ::close(static_cast<int>(handle_));
}

Status DirectOutput::write(std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(static_cast<int>(handle_), bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return Failure::fromErrno();
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return {};
}

Status DirectOutput::close() {
    const int descriptor = static_cast<int>(handle_);
    handle_ = kClosed;
    return closeOutcome(::close(descriptor) == 0 ? 0 : errno);
}

} // namespace tambrel::platform
