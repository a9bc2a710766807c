// The one filter of a grid: the find field's words, "only files with problems", and the groups
// picked in the totals window, all conditions on the same rows at once. A plain value, with the
// matching that tells whether a row passes, kept free of Qt so that the tests and the totals run it
// over the model's records directly.
#pragma once

#include "common/file_facts.h"
#include "inventory/wav_facts.h"
#include "ui/file_row_record.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tambrel {

// A group of the totals window: the files of one codec at one sample rate, or of one problem.
// Fields a kind does not use stay at their defaults, so that equal groups compare equal.
struct RowGroup {
    enum class Kind : std::uint8_t { CodecAndRate, Problem };
    Kind kind = Kind::CodecAndRate;
    HeaderKind header = HeaderKind::NotWave; // codec×rate: as the Codec cell is made (wave or not)
    std::int16_t formatTag = 0;  // codec×rate: the row's format tag (what the Codec cell names);
                                 // 0 for a file that is no WAV file, whose Codec cell names none
    std::int32_t sampleRate = 0; // codec×rate: the row's SampleRate cell value
    WavProblem problem = WavProblem::None; // problem groups
    friend bool operator==(const RowGroup&, const RowGroup&) = default;
};

struct RowFilter {
    std::string text;             // find text: every word must occur (case ignored) in the
                                  // file name, codec text or sample rate cell
    bool problemsOnly = false;    // "show only files with problems"
    std::vector<RowGroup> groups; // empty: no condition; else the row is in one of them
    friend bool operator==(const RowFilter&, const RowFilter&) = default;
};

// The codec×rate group of a row that came with its facts; none for a row written cell by cell.
std::optional<RowGroup> codecAndRateGroup(const FileRowRecord& record);
// The problem group of a row; none when it has no problem (or came without its facts).
std::optional<RowGroup> problemGroup(const FileRowRecord& record);
bool isInGroup(const FileRowRecord& record, const RowGroup& group);

// Folds a UTF-8 text that holds bytes beyond ASCII for case-blind comparison (full Unicode case
// folding); ASCII texts never reach it. The window passes Qt's; without one, only ASCII letters
// fold.
using UnicodeCaseFold = std::string (*)(std::string_view utf8);

// A filter made ready for matching row after row: its words folded once.
class RowMatcher {
public:
    explicit RowMatcher(const RowFilter& filter, UnicodeCaseFold fold = nullptr);

    // Whether every row passes: the filter sets no condition at all.
    bool passesEverything() const { return words_.empty() && !problemsOnly_ && groups_.empty(); }
    // The row's three searched cells and its record.
    bool matches(const FileRowRecord& record, std::string_view fileName, std::string_view codec,
                 std::string_view sampleRate) const;

private:
    struct Word {
        std::string folded;
        bool ascii = true;
        std::uint8_t skip[256]; // the Horspool shift of each (ASCII-folded) byte
    };
    bool contains(std::string_view text, const Word& word) const;

    std::vector<Word> words_;
    bool problemsOnly_ = false;
    std::vector<RowGroup> groups_;
    UnicodeCaseFold fold_ = nullptr;
    mutable std::string scratch_;
};

// Whether every row `narrower` passes also passes `wider`, so that a refilter may look at the
// rows `wider` passed alone (as when a typed letter extends the find text).
bool narrows(const RowFilter& narrower, const RowFilter& wider);

} // namespace tambrel
