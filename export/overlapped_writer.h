// Writes chunks of a file on a second thread, so the export builds the next lines while the
// last ones are copied to the page cache; the two together take about as long as the slower.
#pragma once

#include "common/result.h"
#include "platform/export/replacement_file.h"

#include <cstddef>
#include <future>
#include <memory>
#include <string_view>

namespace tambrel {

class OverlappedWriter {
public:
    // Two buffers of `chunkBytes` each: one being filled, one being written.
    OverlappedWriter(ReplacementFile& file, std::size_t chunkBytes);
    // Waits for a write still running: `file` must outlive it either way.
    ~OverlappedWriter();
    OverlappedWriter(const OverlappedWriter&) = delete;
    OverlappedWriter& operator=(const OverlappedWriter&) = delete;

    // The buffer to fill, capacity() bytes long.
    char* chunk() { return filling_.get(); }
    std::size_t capacity() const { return chunkBytes_; }
    // Hands the first `used` bytes of chunk() over to be written and makes the other buffer
    // the one to fill. Fails with the failure of the write before; after a failure nothing
    // more is written.
    Status submit(std::size_t used);
    // Writes `bytes` at once, after the chunks handed over before: for what does not fit a
    // chunk.
    Status writeNow(std::string_view bytes);
    // Waits for the last write; its result, or the first failure.
    Status finish();

private:
    ReplacementFile& file_;
    std::size_t chunkBytes_;
    std::unique_ptr<char[]> filling_;
    std::unique_ptr<char[]> writing_;
    std::future<Status> pending_;
};

} // namespace tambrel
