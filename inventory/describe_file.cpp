#include "inventory/describe_file.h"

#include "inventory/add_file_to_grid.h"
#include "inventory/codec_names.h"
#include "inventory/wav_header.h"
#include "localize/language_state.h"
#include "platform/text/short_date.h"

namespace tambrel {

namespace {
constexpr std::int32_t kNotWaveFormat = 18;
}

FileRow describeFile(const FileEntry& file) {
    return describeReading(file.path, readFileHeader(file.hostPath, file.listedStatus));
}

FileRow describeReading(std::string shownPath, FileHeaderReading reading) {
    FileRow row;
    row.path = std::move(shownPath);
    row.isWave = reading.header.kind == HeaderKind::Wave;
    row.formatTag = reading.header.formatTag;
    row.sampleRate = reading.header.sampleRate;
    row.codecText =
        row.isWave ? strCodecNameFromID(reading.header.formatTag) : mymyLoadString(kNotWaveFormat);
    if (reading.status) {
        row.hasStatus = true;
        row.size = reading.status->size;
        row.lastModified = reading.status->lastModified;
    }
    row.failures = std::move(reading.failures);
    return row;
}

std::array<std::string, 5> fileRowCells(const FileRow& row) {
    return {row.codecText, row.path, signPositionDecimal(row.sampleRate),
            row.hasStatus ? shortDate(row.lastModified.tv_sec) : std::string(),
            row.hasStatus ? signPositionDecimal(row.size) : std::string()};
}

} // namespace tambrel
