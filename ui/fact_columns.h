// The optional columns of a file grid: facts of the header beyond the five cells, shown only when
// the user asks for them. Their texts are made from the row's record as they are drawn, never
// stored, and never reach the CSV export or the clipboard.
#pragma once

#include "ui/file_row_record.h"

#include <array>
#include <cstdint>
#include <QString>

namespace tambrel {

enum class FactColumn : std::uint8_t { Channels, Bits, Duration, Format, Problem };
inline constexpr std::array<FactColumn, 5> kFactColumns = {FactColumn::Channels, FactColumn::Bits,
                                                           FactColumn::Duration, FactColumn::Format,
                                                           FactColumn::Problem};
inline constexpr std::size_t kWavProblems =
    static_cast<std::size_t>(WavProblem::RiffLengthMismatch) + 1;

// The captions and the problems' short reasons in the current language.
struct FactTexts {
    std::array<QString, kFactColumns.size()> captions;
    std::array<QString, kWavProblems> problems;
    static FactTexts inCurrentLanguage();
};

// The cell text of `column` for a row; empty where the file does not say.
QString factText(FactColumn column, const FileRowRecord& record, const FactTexts& texts);
// Channels, bits and duration sort by value and stand right-aligned; format and problem by text.
bool isNumberFact(FactColumn column);
// The value a number column sorts by; unknown values sort first.
std::int64_t factSortKey(FactColumn column, const FileRowRecord& record);

} // namespace tambrel
