#include "ui/file_row_record.h"

#include "ui/grid_sort_keys.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tambrel {

FileRowRecord FileRowRecord::fromFacts(const FileFacts& facts) {
    FileRowRecord record;
    record.mark(kTyped);
    if (facts.isWave())
        record.mark(kWave);
    record.formatTag_ = facts.header.formatTag;
    record.sampleRate_ = facts.header.sampleRate;
    if (facts.hasStatus) {
        record.mark(kStatus);
        const auto size = static_cast<std::uint64_t>(std::max<std::int64_t>(facts.size, 0));
        record.sizeProblemMarks_ |= std::min(size, kSizeMask);
        record.modified_ = static_cast<std::int64_t>(facts.lastModified.tv_sec);
    }
    record.sizeProblemMarks_ |= std::uint64_t{static_cast<std::uint8_t>(facts.wav.problem)}
                                << kProblemShift;
    const WavFacts& wav = facts.wav;
    if (const auto tag = wav.codecTag()) {
        record.mark(kCodecTag);
        record.codecTag_ = *tag;
    }
    if (const auto channels = wav.channels()) {
        record.mark(kChannels);
        record.channels_ = *channels;
    }
    if (const auto bits = wav.bitsPerSample()) {
        record.mark(kBits);
        record.bits_ = *bits;
    }
    if (const auto seconds = wav.durationSeconds(); seconds && std::isfinite(*seconds)) {
        record.mark(kDuration);
        constexpr double kMost = std::numeric_limits<std::uint32_t>::max();
        record.durationMilliseconds_ =
            static_cast<std::uint32_t>(std::clamp(std::round(*seconds * 1000), 0.0, kMost));
    }
    return record;
}

std::optional<std::int64_t> FileRowRecord::size() const {
    if (!has(kStatus))
        return std::nullopt;
    return static_cast<std::int64_t>(sizeProblemMarks_ & kSizeMask);
}

std::optional<std::int64_t> FileRowRecord::modified() const {
    if (!has(kStatus))
        return std::nullopt;
    return modified_;
}

WavProblem FileRowRecord::problem() const {
    return static_cast<WavProblem>(static_cast<std::uint8_t>(sizeProblemMarks_ >> kProblemShift));
}

std::int64_t FileRowRecord::sampleRateSortKey() const {
    return typed() ? sampleRate_ : kUnreadableSortKey;
}

std::int64_t FileRowRecord::sizeSortKey() const {
    return size().value_or(kUnreadableSortKey);
}

std::int64_t FileRowRecord::modifiedSortKey() const {
    return modified().value_or(kUnreadableSortKey);
}

} // namespace tambrel
