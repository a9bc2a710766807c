#include "report/text_sink.h"

namespace tambrel::report {

ChunkedText::ChunkedText(TextSink& sink) : sink_(sink) {
    text_.reserve(kChunkBytes + 4096);
}

Status ChunkedText::handOn() {
    if (status_ && !text_.empty())
        status_ = sink_.write(text_);
    text_.clear();
    return status_;
}

Status ChunkedText::flush() {
    if (text_.size() < kChunkBytes)
        return status_;
    return handOn();
}

Status ChunkedText::finish() {
    return handOn();
}

} // namespace tambrel::report
