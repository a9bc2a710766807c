#include "export/replacement_file.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace tambrel {
namespace {

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

// The file a link leads to, so that replacing it keeps the link; a dangling link is replaced
// itself.
std::string followLinks(std::string_view path) {
    std::string target(path);
    struct stat info;
    if (::lstat(target.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
        return target;
    if (char* resolved = ::realpath(target.c_str(), nullptr)) {
        target = resolved;
        std::free(resolved);
    }
    return target;
}

// What a new file would get from open(2) with mode 0666.
mode_t newFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

void syncFolder(const std::string& folder) {
    const int descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0)
        return;
    // The file is already whole under its name; this only hurries the rename to the disk,
    // and some file systems refuse fsync on folders, so its result changes nothing.
    (void)::fsync(descriptor);
    ::close(descriptor);
}

} // namespace

Result<ReplacementFile> ReplacementFile::create(std::string_view requestedPath) {
    if (requestedPath.empty() || requestedPath.find('\0') != std::string_view::npos)
        return Failure::fromErrno(EINVAL);
    std::string target = followLinks(requestedPath);

    mode_t mode = newFileMode();
    struct stat existing;
    bool replacing = false;
    if (::stat(target.c_str(), &existing) == 0) {
        if (S_ISDIR(existing.st_mode))
            return Failure::fromErrno(EISDIR);
        // A device or FIFO must never be swapped for a plain file.
        if (!S_ISREG(existing.st_mode))
            return Failure::fromErrno(EPERM);
        if ((existing.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
            return Failure::fromErrno(EACCES);
        mode = existing.st_mode & 07777;
        replacing = true;
    } else if (errno != ENOENT) {
        return Failure::fromErrno();
    }

    std::string folder = folderOf(target);
    std::string temporary = (folder == "/" ? std::string() : folder) + "/.tambrel-export-XXXXXX";
    const int descriptor = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (descriptor < 0)
        return Failure::fromErrno();
    ReplacementFile file(std::move(target), std::move(temporary), descriptor);

    if (::fchmod(descriptor, mode) != 0)
        return Failure::fromErrno();
    if (replacing && (existing.st_uid != ::geteuid() || existing.st_gid != ::getegid())) {
        // Keeping the owner needs privilege; without it the replacement is ours, as any
        // program that saves by renaming leaves it.
        (void)::fchown(descriptor, existing.st_uid, existing.st_gid);
    }
    return file;
}

ReplacementFile::ReplacementFile(std::string targetPath, std::string temporaryPath, int descriptor)
    : targetPath_(std::move(targetPath)), temporaryPath_(std::move(temporaryPath)),
      descriptor_(descriptor) {}

ReplacementFile::ReplacementFile(ReplacementFile&& other) noexcept
    : targetPath_(std::move(other.targetPath_)), temporaryPath_(std::move(other.temporaryPath_)),
      descriptor_(std::exchange(other.descriptor_, -1)),
      committed_(std::exchange(other.committed_, true)), bytesWritten_(other.bytesWritten_),
      writebackStarted_(other.writebackStarted_) {}

ReplacementFile::~ReplacementFile() {
    discard();
}

void ReplacementFile::discard() {
    if (descriptor_ >= 0) {
        ::close(descriptor_);
        descriptor_ = -1;
    }
    if (!committed_ && !temporaryPath_.empty()) {
        ::unlink(temporaryPath_.c_str());
        committed_ = true;
    }
}

Status ReplacementFile::write(std::string_view bytes) {
    if (descriptor_ < 0)
        return Failure::fromErrno(EBADF);
    while (!bytes.empty()) {
        const ssize_t written = ::write(descriptor_, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return Failure::fromErrno();
        }
        if (written == 0)
            return Failure::fromErrno(ENOSPC);
        bytes.remove_prefix(static_cast<std::size_t>(written));
        bytesWritten_ += static_cast<std::size_t>(written);
    }
    startWriteback();
    return {};
}

void ReplacementFile::startWriteback() {
    // The disk starts on what is written while the next lines are built, so the fsync of
    // commit() has little left to wait for. Only a hint: errors surface at fsync.
    constexpr std::size_t kWritebackBytes = std::size_t{8} << 20;
    if (bytesWritten_ - writebackStarted_ < kWritebackBytes)
        return;
    (void)::sync_file_range(descriptor_, static_cast<off_t>(writebackStarted_),
                            static_cast<off_t>(bytesWritten_ - writebackStarted_),
                            SYNC_FILE_RANGE_WRITE);
    writebackStarted_ = bytesWritten_;
}

Status ReplacementFile::commit() {
    if (descriptor_ < 0 || committed_)
        return Failure::fromErrno(EBADF);
    // Delayed allocation can report a full disk only here, or at close.
    if (::fsync(descriptor_) != 0) {
        Failure failure = Failure::fromErrno();
        discard();
        return failure;
    }
    const int descriptor = std::exchange(descriptor_, -1);
    if (::close(descriptor) != 0) {
        Failure failure = Failure::fromErrno();
        discard();
        return failure;
    }
    if (::rename(temporaryPath_.c_str(), targetPath_.c_str()) != 0) {
        Failure failure = Failure::fromErrno();
        discard();
        return failure;
    }
    committed_ = true;
    syncFolder(folderOf(targetPath_));
    return {};
}

} // namespace tambrel
