// The header's facts as the command-line tool writes them beside the five cells: one value per
// fact, the same in the JSON members and in the extra CSV columns, each either a number, a
// text or unknown.
#pragma once

#include "common/file_facts.h"

#include <array>
#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace tambrel::cli {

inline constexpr std::size_t kFactColumns = 11;

// The JSON members' names, which are also the extra CSV columns' headings, in their order.
inline constexpr std::array<std::string_view, kFactColumns> kFactColumnNames = {
    "format_tag", "format_name", "sub_format_tag",   "channels", "bits_per_sample", "block_align",
    "byte_rate",  "data_bytes",  "duration_seconds", "problem",  "problem_text"};

struct FactValue {
    enum class Kind : std::uint8_t { Unknown, Number, Text };
    Kind kind = Kind::Unknown;
    std::string text; // the number's digits or the text itself; empty when unknown
};

// The values of `facts` in kFactColumnNames order. The format tag is unsigned (65534, not -2)
// and unknown for a file whose format chunk was not read; the format name is the registered
// one of the codec's tag.
std::array<FactValue, kFactColumns> factValues(const FileFacts& facts);

// The CSV heading line's extra columns, each after a comma.
void appendFactHeadings(std::string& line);
// The CSV line of `cells` (the five, as the window's) followed by the facts of `facts`.
void appendCsvLineWithFacts(std::string& text, std::span<const std::string_view> cells,
                            const FileFacts& facts);

// A short English sentence for `problem`; for an unreadable file, with the system's words.
std::string problemTextInEnglish(WavProblem problem, std::string_view detail);

} // namespace tambrel::cli
