#include "cli/fact_columns.h"

#include "export/csv_writer.h"
#include "inventory/wav_format_names.h"

#include <algorithm>
#include <charconv>
#include <iterator>
#include <optional>

namespace tambrel::cli {
namespace {

template <typename Number> FactValue number(std::optional<Number> value) {
    if (!value)
        return {};
    char digits[32];
    const auto [end, error] = std::to_chars(digits, std::end(digits), *value);
    (void)error; // 32 characters hold every value written here
    return {FactValue::Kind::Number, std::string(digits, end)};
}

FactValue text(std::string_view value) {
    if (value.empty())
        return {};
    return {FactValue::Kind::Text, std::string(value)};
}

} // namespace

std::string problemTextInEnglish(WavProblem problem, std::string_view detail) {
    switch (problem) {
    case WavProblem::None:
        return {};
    case WavProblem::Unreadable:
        return detail.empty() ? std::string("The file cannot be read.")
                              : "The file cannot be read: " + std::string(detail);
    case WavProblem::Empty:
        return "The file is empty.";
    case WavProblem::NotRiff:
        return "The file is not a RIFF file.";
    case WavProblem::Rifx:
        return "The file is big-endian RIFX, which the server does not play.";
    case WavProblem::Rf64:
        return "The file is 64-bit RF64, which the server does not play.";
    case WavProblem::NotWave:
        return "The RIFF file holds no WAVE audio.";
    case WavProblem::HeaderTruncated:
        return "The file ends inside its header.";
    case WavProblem::NoFormatChunk:
        return "The file has no format chunk.";
    case WavProblem::FormatChunkShort:
        return "The format chunk is too short for its fields.";
    case WavProblem::InvalidFormat:
        return "The format has no channels, sample rate or block alignment.";
    case WavProblem::NoData:
        return "The file holds no audio data.";
    case WavProblem::Truncated:
        return "The audio data is cut short.";
    case WavProblem::RiffLengthMismatch:
        return "The RIFF length is not the file's size.";
    }
    return {};
}

std::array<FactValue, kFactColumns> factValues(const FileFacts& facts) {
    const WavFacts& wav = facts.wav;
    const std::optional<std::uint16_t> codec = wav.codecTag();
    return {number(wav.formatTag()),
            text(codec ? wavFormatName(*codec) : std::string_view()),
            number(wav.subFormatTag()),
            number(wav.channels()),
            number(wav.bitsPerSample()),
            number(wav.blockAlign()),
            number(wav.byteRate()),
            number(wav.dataBytes()),
            number(wav.durationSeconds()),
            text(wavProblemCode(wav.problem)),
            text(problemTextInEnglish(wav.problem, facts.problemDetail))};
}

} // namespace tambrel::cli

namespace tambrel::cli {

void appendFactHeadings(std::string& line) {
    for (const std::string_view name : kFactColumnNames)
        line.append(",").append(name);
}

void appendCsvLineWithFacts(std::string& text, std::span<const std::string_view> cells,
                            const FileFacts& facts) {
    const std::array<FactValue, kFactColumns> values = factValues(facts);
    std::array<std::string_view, kCsvFields + kFactColumns> fields;
    std::size_t at = 0;
    for (const std::string_view cell : cells.first(std::min(cells.size(), kCsvFields)))
        fields[at++] = cell;
    for (const FactValue& value : values)
        fields[at++] = value.text;
    appendCsvLine(text, std::span<const std::string_view>(fields.data(), at));
}

} // namespace tambrel::cli
