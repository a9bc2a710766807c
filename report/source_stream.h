// The document parser's input: a source read a buffer at a time, with the end marked by a NUL
// that the parser sees as the end of input (a NUL inside the document is told apart by
// atEnd()). Lines are counted buffer by buffer, so a fault's place costs nothing until there
// is one.
#pragma once

#include "common/result.h"
#include "report/chunk_source.h"
#include "report/input_errors.h"

#include <cstddef>
#include <cstdint>
#include <memory>

namespace tambrel::report {

// The stream concept of RapidJSON's reader (Peek, Take, Tell; the Put side is never used).
class SourceStream {
public:
    using Ch = char;
    static constexpr std::size_t kBufferBytes = std::size_t{1} << 20;

    explicit SourceStream(ChunkSource& source);

    Ch Peek() const { return *current_; }
    Ch Take() {
        const Ch c = *current_;
        if (current_ < last_ && ++current_ == last_)
            fill();
        return c;
    }
    std::size_t Tell() const {
        return static_cast<std::size_t>(before_ +
                                        static_cast<std::uint64_t>(current_ - buffer_.get()));
    }
    Ch* PutBegin() { return nullptr; }
    void Put(Ch) {}
    void Flush() {}
    std::size_t PutEnd(Ch*) { return 0; }

    bool atEnd() const { return ended_ && current_ == last_; }
    const Status& readStatus() const { return status_; }
    // The line and column of `offset`, which lies in the buffer at hand (faults are met
    // there); an offset before it is placed at its start.
    TextPlace placeOf(std::uint64_t offset) const;

private:
    void fill();

    ChunkSource& source_;
    std::size_t capacity_;
    std::unique_ptr<char[]> buffer_;
    char* current_;
    char* last_;
    bool ended_ = false;
    std::uint64_t before_ = 0;
    std::uint64_t linesBefore_ = 0;
    std::uint64_t columnCarried_ = 0;
    Status status_;
};

} // namespace tambrel::report
