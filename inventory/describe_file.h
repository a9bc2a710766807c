// One audio file's facts, from reading it or from a reading already made, and the five cell
// texts the window shows for them.
#pragma once

#include "common/file_facts.h"
#include "inventory/file_system.h"
#include "inventory/wav_header.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace tambrel {

// Opens the file, reads its header, takes its status and closes it: one open, one read, one
// status call. Failures are kept in the facts, not reported.
FileFacts describeFile(const FileEntry& file, FileList list);
// The facts from a reading already made (the scan reads ahead on threads of its own).
FileFacts describeReading(FileList list, std::string shownPath, FileHeaderReading reading);

// The keys of a file row's cells, in the order a CSV line holds them.
inline constexpr std::array<std::string_view, 5> kFileRowKeys = {"Codec", "FileName", "SampleRate",
                                                                 "LastModified", "FileSize"};

// The Codec cell: the format tag's name, or string 18 for a file that is no WAV file.
std::string codecText(const FileFacts& facts);
// The cell texts of `facts` in kFileRowKeys order. Without a status (the file vanished before
// it could be opened) the size and date are empty.
std::array<std::string, 5> fileRowCells(const FileFacts& facts);

// Sign-position decimal: a blank before zero and positive values, "-" before negative ones.
std::string signPositionDecimal(std::int64_t value);

} // namespace tambrel
