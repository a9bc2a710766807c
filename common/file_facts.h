// What the scan learns about one file, as typed values and never as text. The grid's cells,
// the CSV line, the JSON object, the sort keys and the tool's summary are each made from these
// in one place; a fact added here (more of the header, a problem found in it) reaches every one
// of them without reshaping the scan.
#pragma once

#include "common/result.h"
#include "common/wav_facts.h"

#include <cstdint>
#include <ctime>
#include <string>
#include <time.h>
#include <vector>

namespace tambrel {

// The two lists the scan fills: greetings and voice names, and prompts.
enum class FileList : std::uint8_t { Greetings, Prompts };

enum class HeaderKind {
    Wave,   // the codec text is the name of the format tag
    NotWave // the codec text is string 18, the sample rate 0
};

// What the file's header says; the header reader fills it, and it grows with what is read.
struct WavHeader {
    HeaderKind kind = HeaderKind::NotWave;
    std::int16_t formatTag = 0;
    std::int32_t sampleRate = 0;
};

struct FileFacts {
    FileList list = FileList::Greetings;
    std::string path; // the full path as shown in the FileName cell
    WavHeader header; // NotWave also when the file could not be read
    // Size and date, when the status call could be made.
    bool hasStatus = false;
    std::int64_t size = 0;
    ::timespec lastModified{};
    // Every failure met while reading the file, in order, each with the system's own words;
    // empty for a file read whole.
    std::vector<Failure> readFailures;
    // Every fact of the header beyond the row's two, and its problem.
    WavFacts wav;
    // With the problem Unreadable: the system's words for why (the open's failure, or a read
    // that only the facts needed, which gets no message of its own).
    std::string problemDetail;

    bool isWave() const { return header.kind == HeaderKind::Wave; }
};

} // namespace tambrel
