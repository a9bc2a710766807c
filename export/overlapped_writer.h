// Writes chunks of a file on a second thread, so the export builds the next lines while the
// last ones are copied to the page cache; the two together take about as long as the slower.
#pragma once

#include "common/result.h"
#include "export/replacement_file.h"

#include <future>
#include <string>

namespace tambrel {

class OverlappedWriter {
public:
    explicit OverlappedWriter(ReplacementFile& file) : file_(file) {}
    // Waits for a write still running: `file` must outlive it either way.
    ~OverlappedWriter();
    OverlappedWriter(const OverlappedWriter&) = delete;
    OverlappedWriter& operator=(const OverlappedWriter&) = delete;

    // Takes the bytes of `chunk` and leaves it empty (its capacity kept) for the next lines.
    // Fails with the failure of an earlier chunk's write; after a failure nothing more is
    // written.
    Status submit(std::string& chunk);
    // Waits for the last write; its result, or the first failure.
    Status finish();

private:
    ReplacementFile& file_;
    std::string inFlight_;
    std::future<Status> pending_;
};

} // namespace tambrel
