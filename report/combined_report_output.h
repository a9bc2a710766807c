// A combined report written out. Table: per server, then over all ("*"), its files and bytes
// per codec and rate, then per problem. CSV: Server,Codec,SampleRate,Problem,Files,Bytes, one
// line per codec and rate (Problem empty) and per problem (Codec and SampleRate empty), the
// overall lines with Server "*". JSON: {"servers":[…],"overall":{…}}, each {"server":…,
// "files":…,"bytes":…,"codecs":[{"codec":…,"sample_rate":…,"files":…,"bytes":…}],
// "problems":[{"problem":…,"files":…,"bytes":…}]}. JSON Lines: one server a line, then overall.
#pragma once

#include "common/result.h"
#include "report/combined_report.h"
#include "report/report_format.h"
#include "report/text_sink.h"

namespace tambrel::report {

Status writeCombinedReport(const CombinedReport& report, ReportFormat format, TextSink& sink);

} // namespace tambrel::report
