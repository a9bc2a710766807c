// File rows as CSV text on disk: the header line, then one line per row with its five texts,
// every line ended by CR LF.
#pragma once

#include "common/result.h"
#include "export/row_source.h"
#include "platform/export/replacement_file.h"

#include <span>
#include <string>
#include <string_view>

namespace tambrel {

// The one line writer of the program: file export, clipboard copy and the command-line tool
// give the same bytes for the same cells. Fields are joined by commas, each byte for byte
// unless it would split the line (then quoted, its quotes doubled), and the line ends in CR LF.
//
// The most bytes the line of `texts` can take.
std::size_t longestCsvLine(std::span<const std::string_view> texts);
// Writes the line at `out` (room for longestCsvLine bytes) and returns where it ends.
char* writeCsvLine(std::span<const std::string_view> texts, char* out);
// Appends the line to `text`.
void appendCsvLine(std::string& text, std::span<const std::string_view> texts);

// Writes `header` and every row of `rows` into `file` and commits it, so the target is
// replaced only once the whole file is written and flushed; on failure it is as it was.
Status writeRowsAsCsv(const CsvRowSource& rows, std::string_view header, ReplacementFile file);

} // namespace tambrel
