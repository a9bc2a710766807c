// The parts of the write-then-swap file that are the same on every system: its lifetime and
// the path form of create(); the system's calls are in replacement_file_posix/_win.cpp.
#include "platform/export/replacement_file.h"

#include <utility>

namespace tambrel {

Result<ReplacementFile> ReplacementFile::create(std::string_view targetPath) {
    Result<ExportPath> target = resolveExportPath(targetPath);
    if (!target)
        return target.failure();
    return create(std::move(target.value()));
}

ReplacementFile::ReplacementFile(ExportPath target, std::string temporaryName, std::intptr_t handle)
    : target_(std::move(target)), targetPath_(target_.resolvedPath()),
      temporaryName_(std::move(temporaryName)), handle_(handle) {}

ReplacementFile::ReplacementFile(ReplacementFile&& other) noexcept
    : target_(std::move(other.target_)), targetPath_(std::move(other.targetPath_)),
      temporaryName_(std::move(other.temporaryName_)), handle_(std::move(other.handle_)),
      committed_(std::exchange(other.committed_, true)), bytesWritten_(other.bytesWritten_),
      writebackStarted_(other.writebackStarted_) {}

ReplacementFile::~ReplacementFile() {
    discard();
}

} // namespace tambrel
