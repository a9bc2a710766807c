// Writes every byte to a descriptor, retrying short and interrupted writes: for tests that
// feed pipes and rewrite files by hand.
#pragma once

#include <cerrno>
#include <string_view>
#include <unistd.h>

namespace tambrel::testing {

inline bool writeAll(int descriptor, std::string_view bytes) {
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

} // namespace tambrel::testing
