#include "export/overlapped_writer.h"

#include <system_error>
#include <utility>

namespace tambrel {

OverlappedWriter::~OverlappedWriter() {
    if (pending_.valid())
        pending_.wait();
}

Status OverlappedWriter::submit(std::string& chunk) {
    if (Status previous = finish(); !previous)
        return previous;
    std::swap(chunk, inFlight_);
    chunk.clear();
    try {
        pending_ = std::async(std::launch::async, [this] { return file_.write(inFlight_); });
    } catch (const std::system_error&) {
        // No thread to be had (a process limit): the same bytes, written here instead.
        return file_.write(inFlight_);
    }
    return {};
}

Status OverlappedWriter::finish() {
    if (!pending_.valid())
        return {};
    return pending_.get();
}

} // namespace tambrel
