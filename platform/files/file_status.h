// What the file system says about one entry: its kind, size and modification time, shared by
// the folder listing, the file reads and the path checks.
#pragma once

#include <cstdint>
#include <ctime>
#include <time.h>

namespace tambrel::platform {

// Links count as what they point to; FIFOs, sockets, devices and dangling links are Other.
enum class EntryKind : std::uint8_t { File, Folder, Other };

struct FileStatus {
    std::int64_t size = 0;
    ::timespec lastModified{}; // seconds since 1970-01-01 UTC
};

struct PathStatus {
    EntryKind kind = EntryKind::Other;
    FileStatus status;
    bool readOnly = false; // no write permission for anyone / the read-only attribute
};

} // namespace tambrel::platform
