#include "platform/process/host_identity.h"

#include <array>
#include <unistd.h>

namespace tambrel::platform {

std::string hostName() {
    std::array<char, 256> name{};
    if (::gethostname(name.data(), name.size() - 1) != 0)
        return {};
    return std::string(name.data());
}

bool standardErrorIsTerminal() {
    return ::isatty(STDERR_FILENO) == 1;
}

} // namespace tambrel::platform
