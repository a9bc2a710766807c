// A comparison written out. Table: one line per file added or removed and one per changed
// fact, then a count. JSON: {"earlier":{…},"later":{…},"lists":[…],"added":[…],"removed":[…],
// "changed":[…]}, each entry naming its file by "list" and "file"; a changed entry has
// "changes": {"sample_rate":{"before":16000,"after":8000}, …}. JSON Lines: one entry a line,
// each with "change": "added", "removed" or "changed". CSV is written as the table.
#pragma once

#include "common/result.h"
#include "report/comparison.h"
#include "report/report_format.h"
#include "report/text_sink.h"

namespace tambrel::report {

Status writeComparison(const Comparison& comparison, ReportFormat format, TextSink& sink);

} // namespace tambrel::report
