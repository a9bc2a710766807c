#include "platform/files/whole_file_read.h"

#include <cerrno>
#include <span>

namespace tambrel::platform {

Result<std::vector<std::uint8_t>> readFileOfSize(const ReadOnlyFile& file, std::int64_t size,
                                                 std::size_t sizeLimit) {
    if (size < 0 || static_cast<std::uint64_t>(size) > sizeLimit)
        return Failure::fromErrno(EFBIG);
    // One byte more than the size tells a file that grew since the status call.
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size) + 1);
    Result<std::size_t> read = file.readAt(
        0, std::span<std::byte>(reinterpret_cast<std::byte*>(bytes.data()), bytes.size()));
    if (!read)
        return read.failure();
    if (*read > sizeLimit)
        return Failure::fromErrno(EFBIG);
    bytes.resize(*read);
    return bytes;
}

} // namespace tambrel::platform
