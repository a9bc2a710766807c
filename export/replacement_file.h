// A file written beside the path it is meant for and moved over that path only once it is
// whole, so a reader never sees half a file and a failed write never harms the file it replaces.
#pragma once

#include "common/result.h"
#include "export/export_path.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace tambrel {

class ReplacementFile {
public:
    // Opens a fresh temporary file in the resolved folder of `target`, which the file keeps
    // open until it is renamed there. Fails without creating anything when the target is
    // read-only (no write bit in its mode, whoever we are), a folder, or not a regular file.
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

    // Every byte or a failure; a short write is retried, never taken as done.
    Status write(std::string_view bytes);
    // Flushes to the device, closes and renames over the target in one step. After a failure
    // the target is as it was and the temporary file is gone.
    Status commit();

    // The target with every link resolved: the file that commit() replaces.
    const std::string& targetPath() const { return targetPath_; }

private:
    ReplacementFile(ExportPath target, std::string temporaryName, int descriptor);
    void discard();
    void startWriteback();

    ExportPath target_;
    std::string targetPath_;
    std::string temporaryName_;
    int descriptor_ = -1;
    bool committed_ = false;
    std::size_t bytesWritten_ = 0;
    std::size_t writebackStarted_ = 0;
};

} // namespace tambrel
