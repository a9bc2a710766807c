// Where a document is read from, a piece at a time: a file (through the platform's reads, wired
// by the tool), standard input, or memory. Reading in pieces keeps a 400 MB document from ever
// standing in memory whole.
#pragma once

#include "common/result.h"

#include <cstddef>
#include <span>
#include <string_view>

namespace tambrel::report {

class ChunkSource {
public:
    virtual ~ChunkSource() = default;
    // Fills the front of `buffer`; 0 only at the end.
    virtual Result<std::size_t> read(std::span<char> buffer) = 0;
};

class MemorySource : public ChunkSource {
public:
    explicit MemorySource(std::string_view bytes) : bytes_(bytes) {}
    Result<std::size_t> read(std::span<char> buffer) override;

private:
    std::string_view bytes_;
};

} // namespace tambrel::report
