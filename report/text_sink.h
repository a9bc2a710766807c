// Where written documents and reports go (a file, standard output, memory), and the chunking
// in front of it: text is gathered into pieces of a fixed size and handed on piece by piece, so
// that a million rows never stand in memory as one string.
#pragma once

#include "common/result.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace tambrel::report {

class TextSink {
public:
    virtual ~TextSink() = default;
    virtual Status write(std::string_view text) = 0;
};

// Keeps everything written: for tests and for small reports.
class StringSink : public TextSink {
public:
    Status write(std::string_view text) override {
        text_.append(text);
        return {};
    }
    const std::string& text() const { return text_; }

private:
    std::string text_;
};

// Writers append to text(); flush() hands it on once a chunk is full, finish() hands on the
// rest. The first failure of the sink sticks: nothing more is written, every later call
// returns it.
class ChunkedText {
public:
    static constexpr std::size_t kChunkBytes = std::size_t{256} << 10;

    explicit ChunkedText(TextSink& sink);
    std::string& text() { return text_; }
    Status flush();
    Status finish();

private:
    Status handOn();
    TextSink& sink_;
    std::string text_;
    Status status_;
};

} // namespace tambrel::report
