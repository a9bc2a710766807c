#include "report/chunk_source.h"

#include <algorithm>

namespace tambrel::report {

Result<std::size_t> MemorySource::read(std::span<char> buffer) {
    const std::size_t count = std::min(buffer.size(), bytes_.size());
    std::copy_n(bytes_.data(), count, buffer.data());
    bytes_.remove_prefix(count);
    return count;
}

} // namespace tambrel::report
