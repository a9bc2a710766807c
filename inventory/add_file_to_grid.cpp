#include "inventory/add_file_to_grid.h"

#include "common/user_dialogs.h"
#include "inventory/codec_names.h"
#include "inventory/wav_header.h"
#include "localize/language_state.h"
#include "platform/short_date.h"

#include <charconv>

namespace tambrel {
namespace {

void report(const Failure& failure) {
    reportMessage(mymyLoadString(8) + failure.description);
}

void reportIfFailed(const Status& status) {
    if (!status)
        report(status.failure());
}

} // namespace

std::string signPositionDecimal(std::int64_t value) {
    char digits[24];
    digits[0] = ' ';
    const auto [end, error] = std::to_chars(digits + (value < 0 ? 0 : 1), std::end(digits), value);
    (void)error; // 23 characters hold every 64-bit value
    return std::string(digits, end);
}

void AddFileToGrid(const FileEntry& file, bool greetingsFlag, Grid& gridGreetings,
                   Grid& gridPrompts) {
    // Open, read the header, take the status and close, all at once: the steps that cannot
    // follow a failed open are not tried, and so not reported a second time.
    const FileHeaderReading reading = readFileHeader(file.hostPath, file.listedStatus);
    for (const Failure& failure : reading.failures)
        report(failure);

    const std::string codecText = reading.header.kind == HeaderKind::Wave
                                      ? strCodecNameFromID(reading.header.formatTag)
                                      : mymyLoadString(18);

    Grid& grid = greetingsFlag ? gridGreetings : gridPrompts;
    reportIfFailed(grid.AddItem(codecText, grid.Rows()));

    auto writeCell = [&grid](std::string_view key, std::string_view text) {
        reportIfFailed(grid.SetCell(grid.Rows() - 1, grid.ColIndex(key), text));
    };
    writeCell("FileName", file.path);
    writeCell("Codec", codecText);
    // Without a status (the file vanished before it could be opened) the size and date stay
    // empty: the open failure has been reported already.
    writeCell("FileSize", reading.status ? signPositionDecimal(reading.status->size) : "");
    writeCell("SampleRate", signPositionDecimal(reading.header.sampleRate));
    writeCell("LastModified", reading.status ? shortDate(reading.status->lastModified.tv_sec) : "");
}

} // namespace tambrel
