// Local time as ISO 8601 with the offset from UTC in force at that moment.
#pragma once

#include <cstdint>
#include <string>

namespace tambrel::platform {

// Such as "2026-03-29T02:30:00+02:00"; "" when the moment cannot be converted.
std::string isoLocalTime(std::int64_t secondsSinceEpoch);

} // namespace tambrel::platform
