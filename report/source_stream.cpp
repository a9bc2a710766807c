#include "report/source_stream.h"

#include <algorithm>
#include <cstring>
#include <string_view>

namespace tambrel::report {

// A source that says it is small gets a buffer of about its size: a rule file or a test
// document needs no megabyte.
SourceStream::SourceStream(ChunkSource& source)
    : source_(source), capacity_(std::clamp<std::uint64_t>(source.sizeHint().value_or(kBufferBytes),
                                                           4096, kBufferBytes)),
      buffer_(std::make_unique<char[]>(capacity_ + 1)) {
    current_ = last_ = buffer_.get();
    *current_ = '\0';
    fill();
}

TextPlace SourceStream::placeOf(std::uint64_t offset) const {
    const std::uint64_t local = offset > before_ ? offset - before_ : 0;
    const std::size_t held = static_cast<std::size_t>(last_ - buffer_.get());
    const std::string_view text(buffer_.get(), std::min<std::size_t>(local, held));
    const TextPlace inBuffer = placeIn(text, text.size());
    TextPlace place;
    place.offset = before_ + text.size();
    place.line = linesBefore_ + inBuffer.line;
    place.column = inBuffer.line == 1 ? columnCarried_ + inBuffer.column : inBuffer.column;
    return place;
}

void SourceStream::fill() {
    if (ended_)
        return;
    const std::string_view consumed(buffer_.get(), static_cast<std::size_t>(last_ - buffer_.get()));
    std::uint64_t newlines = 0;
    for (const char *at = consumed.data(), *end = at + consumed.size();
         (at = static_cast<const char*>(std::memchr(at, '\n', static_cast<std::size_t>(end - at))));
         ++at)
        ++newlines;
    const std::size_t lastNewline = consumed.rfind('\n');
    columnCarried_ = lastNewline == std::string_view::npos ? columnCarried_ + consumed.size()
                                                           : consumed.size() - lastNewline - 1;
    linesBefore_ += newlines;
    before_ += consumed.size();
    std::size_t filled = 0;
    while (filled < capacity_) {
        Result<std::size_t> read =
            source_.read(std::span<char>(buffer_.get() + filled, capacity_ - filled));
        if (!read) {
            status_ = read.failure();
            break;
        }
        if (*read == 0)
            break;
        filled += *read;
    }
    current_ = buffer_.get();
    last_ = buffer_.get() + filled;
    *last_ = '\0';
    ended_ = filled < capacity_;
}

} // namespace tambrel::report
