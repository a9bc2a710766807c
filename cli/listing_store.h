// One list of the command-line tool: the scan's file facts kept compactly when the list is to
// be written (never a second copy as cell texts), and counted per codec and sample rate for the
// summary either way.
#pragma once

#include "common/file_facts.h"
#include "export/row_source.h"

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace tambrel::cli {

// The files of one codec at one sample rate.
struct SummaryCount {
    std::int64_t files = 0;
    std::int64_t bytes = 0;
};

struct ListSummary {
    std::int64_t files = 0;
    std::int64_t bytes = 0;
    // Every file the scan could read, by its Codec cell and sample rate.
    std::map<std::pair<std::string, std::int32_t>, SummaryCount> byCodecAndRate;
    // The files with a problem, unreadable ones included, by problem.
    std::map<WavProblem, SummaryCount> byProblem;
};

class ListingStore final : public CsvRowSource {
public:
    // `keepRows`: false when only the summary is wanted, so no row is held at all.
    explicit ListingStore(bool keepRows);

    // Forgets every file: the list starts afresh.
    void clear();
    void add(const FileFacts& facts);

    const ListSummary& summary() const { return summary_; }
    // Files kept (none when rows are not kept).
    std::int64_t size() const { return static_cast<std::int64_t>(records_.size()); }
    // File `index` (0 to size() - 1) as facts again, its read failures as one text.
    FileFacts facts(std::int64_t index) const;

    // The CSV line's texts, made from the facts as the window's cells are. The views stay
    // valid until the next call.
    std::int64_t csvRowCount() const override { return size(); }
    Status csvRowTexts(std::int64_t row,
                       std::span<std::string_view, kCsvFields> texts) const override;

private:
    // Widest fields first, so that no padding falls between them: 72 bytes a file.
    struct Record {
        std::uint64_t pathOffset = 0;
        std::int64_t size = 0;
        std::int64_t seconds = 0;
        // The header's facts: the lengths here, the rest in formats_ (the same few formats
        // recur across a server).
        std::uint64_t dataBytes = 0;
        std::uint64_t factSamples = 0;
        std::uint32_t pathLength = 0;
        std::int32_t errorIndex = -1; // into errors_, -1 for a file read whole
        std::int32_t sampleRate = 0;
        std::int32_t nanoseconds = 0;
        std::uint32_t formatIndex = 0;
        std::int32_t detailIndex = -1; // into errors_: why the file is unreadable
        std::int16_t formatTag = 0;
        bool isWave = false;
        bool hasStatus = false;
        FileList list = FileList::Greetings;
    };
    static_assert(sizeof(Record) <= 72);
    std::uint32_t formatIndex(const WavFacts& format);

    bool keepRows_;
    std::vector<Record> records_;
    std::string paths_;
    std::vector<std::string> errors_;
    std::vector<WavFacts> formats_; // facts without their lengths, each once
    std::unordered_map<std::uint64_t, std::vector<std::uint32_t>> formatsByHash_;
    ListSummary summary_;
    mutable std::int64_t cachedRow_ = -1;
    mutable std::array<std::string, kCsvFields> cachedCells_;
};

} // namespace tambrel::cli
