#include "export/overlapped_writer.h"

#include <system_error>
#include <utility>

namespace tambrel {

OverlappedWriter::OverlappedWriter(ReplacementFile& file, std::size_t chunkBytes)
    : file_(file), chunkBytes_(chunkBytes),
      filling_(std::make_unique_for_overwrite<char[]>(chunkBytes)),
      writing_(std::make_unique_for_overwrite<char[]>(chunkBytes)) {}

OverlappedWriter::~OverlappedWriter() {
    if (pending_.valid())
        pending_.wait();
}

Status OverlappedWriter::submit(std::size_t used) {
    if (Status previous = finish(); !previous)
        return previous;
    std::swap(filling_, writing_);
    const std::string_view bytes(writing_.get(), used);
    try {
        pending_ = std::async(std::launch::async, [this, bytes] { return file_.write(bytes); });
    } catch (const std::system_error&) {
        // No thread to be had (a process limit): the same bytes, written here instead.
        return file_.write(bytes);
    }
    return {};
}

Status OverlappedWriter::writeNow(std::string_view bytes) {
    if (Status previous = finish(); !previous)
        return previous;
    return file_.write(bytes);
}

Status OverlappedWriter::finish() {
    if (!pending_.valid())
        return {};
    return pending_.get();
}

} // namespace tambrel
