// Where a document is read from, a piece at a time: a file (through the platform's reads, wired
// by the tool), standard input, or memory. Reading in pieces keeps a 400 MB document from ever
// standing in memory whole.
#pragma once

#include "common/result.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace tambrel::report {

class ChunkSource {
public:
    virtual ~ChunkSource() = default;
    // Fills the front of `buffer`; 0 only at the end.
    virtual Result<std::size_t> read(std::span<char> buffer) = 0;
    // The bytes the source has still to give, where known (a file's size before the first
    // read), so that a reader can make room for its rows once instead of growing and moving
    // them; none when unknown.
    virtual std::optional<std::uint64_t> sizeHint() const { return std::nullopt; }
};

class MemorySource : public ChunkSource {
public:
    explicit MemorySource(std::string_view bytes) : bytes_(bytes) {}
    Result<std::size_t> read(std::span<char> buffer) override;
    std::optional<std::uint64_t> sizeHint() const override { return bytes_.size(); }

private:
    std::string_view bytes_;
};

} // namespace tambrel::report
