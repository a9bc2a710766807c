// A file written beside the path it is meant for and moved over that path only once it is
// whole, so a reader never sees half a file and a failed write never harms the file it replaces.
#pragma once

#include "common/result.h"
#include "platform/export/export_path.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tambrel {

class ReplacementFile {
public:
    // Opens a fresh temporary file in the resolved folder of `target`, which the file keeps
    // open until it is renamed there. Fails without creating anything when the target is
    // read-only (no write bit in its mode or the read-only attribute, whoever we are), a folder,
    // or not a regular file.
    static Result<ReplacementFile> create(ExportPath target);
    // The same after resolveExportPath(targetPath): a link is followed, so the file it points
    // to is the one replaced and the link stays.
    static Result<ReplacementFile> create(std::string_view targetPath);

    ReplacementFile(ReplacementFile&& other) noexcept;
    ReplacementFile& operator=(ReplacementFile&&) = delete;
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;
    // Removes the temporary file unless commit() succeeded.
    ~ReplacementFile();

    // Every byte or a failure; a short write is retried, never taken as done. Writing past the
    // process's file-size limit is a failure (EFBIG) like a full disk, never a signal that ends
    // the program.
    Status write(std::string_view bytes);
    // Flushes to the device, closes and renames over the target in one step (ReplaceFileW on
    // Windows, which keeps the target's attributes and security). After a failure
    // the target is as it was and the temporary file is gone.
    Status commit();

    // The target with every link resolved: the file that commit() replaces.
    const std::string& targetPath() const { return targetPath_; }

private:
    ReplacementFile(ExportPath target, std::string temporaryName, std::intptr_t handle);
    void discard();
    void startWriteback();

    ExportPath target_;
    std::string targetPath_;
    std::string temporaryName_;
    platform::NativeHandle handle_; // the temporary file
    bool committed_ = false;
    std::size_t bytesWritten_ = 0;
    std::size_t writebackStarted_ = 0;
};

} // namespace tambrel
