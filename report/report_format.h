// The forms a report is written in: an aligned table for people, CSV for spreadsheets, JSON
// for programs, JSON Lines for pipelines that read one object at a time.
#pragma once

#include <cstdint>

namespace tambrel::report {

enum class ReportFormat : std::uint8_t { Table, Csv, Json, JsonLines };

} // namespace tambrel::report
