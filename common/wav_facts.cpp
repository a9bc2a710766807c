#include "common/wav_facts.h"

#include <array>
#include <utility>

namespace tambrel {
namespace {

constexpr std::array<std::pair<WavProblem, std::string_view>, 13> kCodes{{
    {WavProblem::Unreadable, "unreadable"},
    {WavProblem::Empty, "empty"},
    {WavProblem::NotRiff, "not_riff"},
    {WavProblem::Rifx, "rifx"},
    {WavProblem::Rf64, "rf64"},
    {WavProblem::NotWave, "not_wave"},
    {WavProblem::HeaderTruncated, "header_truncated"},
    {WavProblem::NoFormatChunk, "no_format_chunk"},
    {WavProblem::FormatChunkShort, "format_chunk_short"},
    {WavProblem::InvalidFormat, "invalid_format"},
    {WavProblem::NoData, "no_data"},
    {WavProblem::Truncated, "truncated"},
    {WavProblem::RiffLengthMismatch, "riff_length_mismatch"},
}};

constexpr std::uint16_t kExtensible = 0xFFFE;

} // namespace

std::string_view wavProblemCode(WavProblem problem) {
    for (const auto& [known, code] : kCodes)
        if (known == problem)
            return code;
    return {};
}

std::optional<WavProblem> wavProblemFromCode(std::string_view code) {
    for (const auto& [problem, known] : kCodes)
        if (known == code)
            return problem;
    return std::nullopt;
}

bool isPcmLike(std::uint16_t formatTag) {
    return formatTag == 0x0001 || formatTag == 0x0003 || formatTag == 0x0006 || formatTag == 0x0007;
}

std::optional<std::uint16_t> WavFacts::codecTag() const {
    const std::optional<std::uint16_t> tag = formatTag();
    if (tag == kExtensible)
        return subFormatTag();
    return tag;
}

std::optional<double> WavFacts::durationSeconds() const {
    const std::optional<std::uint64_t> data = dataBytes();
    const std::optional<std::uint16_t> codec = codecTag();
    if (!data)
        return std::nullopt;
    if (codec && isPcmLike(*codec)) {
        if (const std::optional<std::uint32_t> rate = byteRate(); rate && *rate > 0)
            return static_cast<double>(*data) / *rate;
    }
    // A fact count describes the whole recording; a file cut short no longer holds it.
    if (dataCutShort())
        return std::nullopt;
    const std::optional<std::uint64_t> samples = factSamples();
    const std::optional<std::uint32_t> rate = sampleRate();
    if (samples && rate && *rate > 0)
        return static_cast<double>(*samples) / *rate;
    return std::nullopt;
}

} // namespace tambrel
