// What the grid keeps of one file row beyond its cell texts: the facts its five cells were made
// from, and the header's facts beyond them, typed and packed into 32 bytes. Sorting by the number
// and date columns, the optional fact columns, the filter and the totals all read this record
// instead of parsing cell texts back.
#pragma once

#include "common/file_facts.h"
#include "inventory/wav_facts.h"

#include <cstdint>
#include <optional>

namespace tambrel {

class FileRowRecord {
public:
    // An untyped record: the row's cells were written one by one, so nothing is known of it.
    FileRowRecord() = default;
    static FileRowRecord fromFacts(const FileFacts& facts);

    // Whether the row came with its facts.
    bool typed() const { return has(kTyped); }

    // What the Codec and SampleRate cells were made from.
    HeaderKind headerKind() const { return has(kWave) ? HeaderKind::Wave : HeaderKind::NotWave; }
    std::int16_t formatTag() const { return formatTag_; }
    std::int32_t sampleRate() const { return sampleRate_; }
    // Size and date, when the file's status could be taken. A size beyond 2^48 - 1 bytes, far
    // more than any disk holds, is kept as that bound.
    std::optional<std::int64_t> size() const;
    std::optional<std::int64_t> modified() const;

    // The header's facts beyond the cells; each is unknown where the file does not say it.
    std::optional<std::uint16_t> codecTag() const { return get(kCodecTag, codecTag_); }
    std::optional<std::uint16_t> channels() const { return get(kChannels, channels_); }
    std::optional<std::uint16_t> bitsPerSample() const { return get(kBits, bits_); }
    // To the millisecond; a duration beyond about 49 days is kept as that bound.
    std::optional<std::uint32_t> durationMilliseconds() const {
        return get(kDuration, durationMilliseconds_);
    }
    WavProblem problem() const;

    // The keys the number and date columns sort by; an untyped row's sort before every value.
    std::int64_t sampleRateSortKey() const;
    std::int64_t sizeSortKey() const;
    std::int64_t modifiedSortKey() const;

    friend bool operator==(const FileRowRecord&, const FileRowRecord&) = default;

private:
    enum Mark : std::uint8_t {
        kTyped = 1u << 0,
        kWave = 1u << 1,
        kStatus = 1u << 2,
        kCodecTag = 1u << 3,
        kChannels = 1u << 4,
        kBits = 1u << 5,
        kDuration = 1u << 6,
    };
    static constexpr int kProblemShift = 48;
    static constexpr int kMarksShift = 56;
    static constexpr std::uint64_t kSizeMask = (std::uint64_t{1} << kProblemShift) - 1;

    bool has(Mark mark) const { return (marks() & mark) != 0; }
    std::uint8_t marks() const {
        return static_cast<std::uint8_t>(sizeProblemMarks_ >> kMarksShift);
    }
    void mark(Mark mark) { sizeProblemMarks_ |= std::uint64_t{mark} << kMarksShift; }
    template <typename T> std::optional<T> get(Mark mark, T value) const {
        return has(mark) ? std::optional<T>(value) : std::nullopt;
    }

    std::int64_t modified_ = 0;
    // The size in the low 48 bits, the problem in the next 8, the marks in the top 8: the three
    // share a word so that the record stays at 32 bytes.
    std::uint64_t sizeProblemMarks_ = 0;
    std::int32_t sampleRate_ = 0;
    std::uint32_t durationMilliseconds_ = 0;
    std::int16_t formatTag_ = 0;
    std::uint16_t codecTag_ = 0;
    std::uint16_t channels_ = 0;
    std::uint16_t bits_ = 0;
};

// A million rows: every byte here is a megabyte of the window's memory.
static_assert(sizeof(FileRowRecord) == 32);

} // namespace tambrel
