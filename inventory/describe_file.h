// Reading one audio file into its typed row, and the five cell texts the window shows for it.
#pragma once

#include "common/file_row.h"
#include "inventory/file_system.h"
#include "inventory/wav_header.h"

#include <array>
#include <string>
#include <string_view>

namespace tambrel {

// Opens the file, reads its header, takes its status and closes it: one open, one read, one
// status call. Failures are kept in the row, not reported.
FileRow describeFile(const FileEntry& file);
// The row from a reading already made (the scan reads ahead on threads of its own).
FileRow describeReading(std::string shownPath, FileHeaderReading reading);

// The keys of a file row's cells, in the order a CSV line holds them.
inline constexpr std::array<std::string_view, 5> kFileRowKeys = {"Codec", "FileName", "SampleRate",
                                                                 "LastModified", "FileSize"};

// The cell texts of `row` in kFileRowKeys order. Without a status (the file vanished before it
// could be opened) the size and date are empty.
std::array<std::string, 5> fileRowCells(const FileRow& row);

} // namespace tambrel
