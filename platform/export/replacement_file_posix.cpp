#include "platform/export/replacement_file.h"
#include "platform/files/posix_entries.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace tambrel {
namespace {

// What a new file would get from open(2) with mode 0666.
mode_t newFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// A fresh name beside the target, created exclusively in the folder already open, so neither
// an existing file nor a link planted under that name is ever opened.
int createTemporary(int folder, std::string& name) {
    static constexpr char kLetters[] =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::random_device source;
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = ".tambrel-export-";
        for (int i = 0; i < 8; ++i)
            name.push_back(kLetters[source() % (sizeof kLetters - 1)]);
        const int descriptor = ::openat(folder, name.c_str(),
                                        O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (descriptor >= 0 || errno != EEXIST)
            return descriptor;
    }
    errno = EEXIST;
    return -1;
}

// Past RLIMIT_FSIZE the kernel would end the whole program with SIGXFSZ; ignored, the write
// fails with EFBIG and is reported like a full disk, the old file kept. Ignored for the rest of
// the process: every file it writes should fail that way, and a disposition set and restored
// around one export would race with another export on a second thread.
void ignoreFileSizeSignal() {
    static const bool ignored = [] { return std::signal(SIGXFSZ, SIG_IGN) != SIG_ERR; }();
    (void)ignored;
}

} // namespace

Result<ReplacementFile> ReplacementFile::create(ExportPath target) {
    const int folder = static_cast<int>(target.folder.get());
    if (!target.folder.valid() || target.name.empty())
        return Failure::fromErrno(EINVAL);

    mode_t mode = newFileMode();
    struct stat existing;
    bool replacing = false;
    if (::fstatat(folder, target.name.c_str(), &existing, AT_SYMLINK_NOFOLLOW) == 0) {
        if (S_ISDIR(existing.st_mode))
            return Failure::fromErrno(EISDIR);
        // A device or FIFO must never be swapped for a plain file; a link that appeared since
        // the path was resolved is not followed either.
        if (!S_ISREG(existing.st_mode))
            return Failure::fromErrno(EPERM);
        if ((existing.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
            return Failure::fromErrno(EACCES);
        mode = existing.st_mode & 07777;
        replacing = true;
    } else if (errno != ENOENT) {
        return Failure::fromErrno();
    }

    ignoreFileSizeSignal();
    std::string temporary;
    const int descriptor = createTemporary(folder, temporary);
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

void ReplacementFile::discard() {
    handle_.reset();
    if (!committed_ && !temporaryName_.empty() && target_.folder.valid()) {
        ::unlinkat(static_cast<int>(target_.folder.get()), temporaryName_.c_str(), 0);
        committed_ = true;
    }
}

Status ReplacementFile::write(std::string_view bytes) {
    if (!handle_.valid())
        return Failure::fromErrno(EBADF);
    if (Status written = platform::writeAll(static_cast<int>(handle_.get()), bytes, ENOSPC);
        !written)
        return written;
    bytesWritten_ += bytes.size();
    startWriteback();
    return {};
}

void ReplacementFile::startWriteback() {
    // The disk starts on what is written while the next lines are built, so the fsync of
    // commit() has little left to wait for. Only a hint: errors surface at fsync.
    constexpr std::size_t kWritebackBytes = std::size_t{8} << 20;
    if (bytesWritten_ - writebackStarted_ < kWritebackBytes)
        return;
    (void)::sync_file_range(static_cast<int>(handle_.get()), static_cast<off_t>(writebackStarted_),
                            static_cast<off_t>(bytesWritten_ - writebackStarted_),
                            SYNC_FILE_RANGE_WRITE);
    writebackStarted_ = bytesWritten_;
}

Status ReplacementFile::commit() {
    if (!handle_.valid() || committed_)
        return Failure::fromErrno(EBADF);
    // Delayed allocation can report a full disk only here, or at close.
    if (::fsync(static_cast<int>(handle_.get())) != 0) {
        Failure failure = Failure::fromErrno();
        discard();
        return failure;
    }
    if (Status closed = handle_.close(); !closed) {
        Failure failure = closed.failure();
        discard();
        return failure;
    }
    const int folder = static_cast<int>(target_.folder.get());
    if (::renameat(folder, temporaryName_.c_str(), folder, target_.name.c_str()) != 0) {
        Failure failure = Failure::fromErrno();
        discard();
        return failure;
    }
    committed_ = true;
    // The file is already whole under its name; this only hurries the rename to the disk,
    // and some file systems refuse fsync on folders, so its result changes nothing.
    (void)::fsync(folder);
    return {};
}

} // namespace tambrel
