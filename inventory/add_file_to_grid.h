// Turning one audio file into one file row: the codec and sample rate from its RIFF/WAVE
// header, its full path, date and size.
#pragma once

#include "common/file_row.h"
#include "common/grid.h"
#include "inventory/file_system.h"

#include <string_view>

namespace tambrel {

void AddFileToGrid(const FileEntry& file, bool greetingsFlag, Grid& gridGreetings,
                   Grid& gridPrompts);

// The row and the messages of one file from what reading it gave, however it was read: the
// scan reads files ahead on other threads and adds their rows here, in order.
void addFileRow(const FileRow& row, bool greetingsFlag, Grid& gridGreetings, Grid& gridPrompts);

// Sign-position decimal: a blank before zero and positive values, "-" before negative ones.
std::string signPositionDecimal(std::int64_t value);

} // namespace tambrel
