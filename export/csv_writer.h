// A grid's file rows as CSV text on disk: the header line, then one line per data row with the
// five keyed cells, every line ended by CR LF.
#pragma once

#include "common/grid.h"
#include "common/result.h"
#include "export/replacement_file.h"

#include <string_view>

namespace tambrel {

// Writes `header` and rows 1 to Rows() - 1 of `grid` into `file` and commits it, so the target
// is replaced only once the whole file is written and flushed; on failure it is as it was.
Status writeGridAsCsv(const Grid& grid, std::string_view header, ReplacementFile file);

} // namespace tambrel
