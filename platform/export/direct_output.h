// An output that is no file on disk (a pipe, a terminal, a device): written into as it is. Such
// an output cannot be replaced by a renamed file, and need not be, since no reader can see half
// of an old one.
#pragma once

#include "common/result.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tambrel::platform {

class DirectOutput {
public:
    // The output at `path` opened for writing when it exists and is neither a regular file nor
    // a folder; nullopt when it is one of those or does not exist (a file to be made or
    // replaced); a failure when it is such an output but cannot be opened.
    static Result<std::optional<DirectOutput>> open(const std::string& path);

    DirectOutput(DirectOutput&& other) noexcept;
    DirectOutput& operator=(DirectOutput&&) = delete;
    DirectOutput(const DirectOutput&) = delete;
    DirectOutput& operator=(const DirectOutput&) = delete;
    ~DirectOutput();

    // Every byte or a failure (a full device: ENOSPC; a pipe without reader: EPIPE).
    Status write(std::string_view bytes);
    // Closes, reporting what the close reports.
    Status close();

private:
    explicit DirectOutput(std::intptr_t handle) : handle_(handle) {}
    std::intptr_t handle_;
};

} // namespace tambrel::platform
