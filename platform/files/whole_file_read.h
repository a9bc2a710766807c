// The reading half of readWholeFile, the same on every system once the file is open and its
// size known from one status call.
#pragma once

#include "common/result.h"
#include "platform/files/file_reads.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tambrel::platform {

// Reads `file` of `size` bytes from its start, refusing more than `sizeLimit` bytes before or
// while reading.
Result<std::vector<std::uint8_t>> readFileOfSize(const ReadOnlyFile& file, std::int64_t size,
                                                 std::size_t sizeLimit);

} // namespace tambrel::platform
