// A file written beside the path it is meant for and moved over that path only once it is
// whole, so a reader never sees half a file and a failed write never harms the file it replaces.
#pragma once

#include "common/result.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace tambrel {

class ReplacementFile {
public:
    // Opens a fresh temporary file in the folder of `targetPath`. Fails without creating
    // anything when the target is read-only (no write bit in its mode, whoever we are), a
    // folder, or not a regular file. A target that is a link is followed, so the file it
    // points to is the one replaced and the link stays.
    static Result<ReplacementFile> create(std::string_view targetPath);

    ReplacementFile(ReplacementFile&& other) noexcept;
    ReplacementFile& operator=(ReplacementFile&&) = delete;
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;
    // Removes the temporary file unless commit() succeeded.
    ~ReplacementFile();

    // Every byte or a failure; a short write is retried, never taken as done.
    Status write(std::string_view bytes);
    // Flushes to the device, closes and renames over the target in one step. After a failure
    // the target is as it was and the temporary file is gone.
    Status commit();

    const std::string& temporaryPath() const { return temporaryPath_; }
    const std::string& targetPath() const { return targetPath_; }

private:
    ReplacementFile(std::string targetPath, std::string temporaryPath, int descriptor);
    void discard();
    void startWriteback();

    std::string targetPath_;
    std::string temporaryPath_;
    int descriptor_ = -1;
    bool committed_ = false;
    std::size_t bytesWritten_ = 0;
    std::size_t writebackStarted_ = 0;
};

} // namespace tambrel
