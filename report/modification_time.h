// A file's modification time as ISO 8601 text with its offset from UTC, both ways, by the
// calendar's arithmetic alone: documents from any machine and any time zone compare as moments.
#pragma once

#include "report/inventory_document.h"

#include <optional>
#include <string>
#include <string_view>

namespace tambrel::report {

// "2026-12-08T23:33:46+01:00"; "Z" for an offset of zero is read as well as "+00:00".
void appendIsoTime(std::string& out, const ModificationTime& time);
// Seconds are required; a fraction of a second is read and dropped. None for any other text.
std::optional<ModificationTime> parseIsoTime(std::string_view text);

} // namespace tambrel::report
