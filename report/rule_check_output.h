// A check's result written out. Table: the files that break a rule (list, file, rule, value
// found), then each rule with the count of files breaking it, then a verdict line. CSV: the
// breaks. JSON: {"passed":…,"files_checked":…,"files_breaking":…,"rules":[{"rule":…,
// "files":…}],"breaks":[{"list":…,"file":…,"rule":…,"found":…}]}. JSON Lines: one break a line.
#pragma once

#include "common/result.h"
#include "report/report_format.h"
#include "report/rule_check.h"
#include "report/text_sink.h"

namespace tambrel::report {

Status writeCheck(const CheckResult& result, ReportFormat format, TextSink& sink);

} // namespace tambrel::report
