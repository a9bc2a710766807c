// One audio file as typed values: what its header and status said, made once per file, from
// which the grid's cells, the CSV line, the JSON object and the sort keys are all made.
#pragma once

#include "common/result.h"

#include <cstdint>
#include <ctime>
#include <string>
#include <time.h>
#include <vector>

namespace tambrel {

struct FileRow {
    std::string path;      // the full path as shown in the FileName cell
    std::string codecText; // the Codec cell: the codec's name, or string 18 for a non-WAV file
    bool isWave = false;   // false: the file does not begin with the RIFF tag (or was unreadable)
    std::int16_t formatTag = 0;
    std::int32_t sampleRate = 0;
    // Size and date, when the status call could be made.
    bool hasStatus = false;
    std::int64_t size = 0;
    ::timespec lastModified{};
    // Every failure met while reading the file, in order; empty for a file read whole.
    std::vector<Failure> failures;
};

} // namespace tambrel
