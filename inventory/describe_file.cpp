#include "inventory/describe_file.h"

#include "inventory/codec_names.h"
#include "inventory/wav_header.h"
#include "localize/language_state.h"
#include "platform/text/short_date.h"

#include <charconv>
#include <iterator>

namespace tambrel {

namespace {
constexpr std::int32_t kNotWaveFormat = 18;
}

FileFacts describeFile(const FileEntry& file, FileList list) {
    return describeReading(list, file.path, readFileHeader(file.hostPath, file.listedStatus));
}

FileFacts describeReading(FileList list, std::string shownPath, FileHeaderReading reading) {
    FileFacts facts;
    facts.list = list;
    facts.path = std::move(shownPath);
    facts.header = reading.header;
    if (reading.status) {
        facts.hasStatus = true;
        facts.size = reading.status->size;
        facts.lastModified = reading.status->lastModified;
    }
    facts.wav = reading.facts;
    if (!reading.opened) {
        // The decoder never saw the file: the open's failure is the reason.
        facts.wav = WavFacts{};
        facts.wav.problem = WavProblem::Unreadable;
        if (!reading.failures.empty())
            facts.problemDetail = reading.failures.front().description;
    } else if (reading.facts.problem == WavProblem::Unreadable && reading.factsFailure) {
        facts.problemDetail = reading.factsFailure->description;
    }
    facts.readFailures = std::move(reading.failures);
    return facts;
}

std::string codecText(const FileFacts& facts) {
    return facts.isWave() ? strCodecNameFromID(facts.header.formatTag)
                          : mymyLoadString(kNotWaveFormat);
}

std::array<std::string, 5> fileRowCells(const FileFacts& facts) {
    return {codecText(facts), facts.path, signPositionDecimal(facts.header.sampleRate),
            facts.hasStatus ? shortDate(facts.lastModified.tv_sec) : std::string(),
            facts.hasStatus ? signPositionDecimal(facts.size) : std::string()};
}

std::string signPositionDecimal(std::int64_t value) {
    char digits[24];
    digits[0] = ' ';
    const auto [end, error] = std::to_chars(digits + (value < 0 ? 0 : 1), std::end(digits), value);
    (void)error; // 23 characters hold every 64-bit value
    return std::string(digits, end);
}

} // namespace tambrel
