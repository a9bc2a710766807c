// Helpers of the Windows side of the platform layer: UTF-8 <-> UTF-16 for the wide API, and
// failures described by the system's own message text.
#pragma once

#include "common/result.h"

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>
#include <time.h>

namespace tambrel::platform {

std::wstring wideFromUtf8(std::string_view text);
std::string utf8FromWide(std::wstring_view text);

// `hostPath` as the wide API takes it: "/" made "\\", and a path too long for MAX_PATH put in
// the long form (the "\\?\" prefix, or "\\?\UNC" for a share).
std::wstring systemPath(std::string_view hostPath);

// A FILETIME (100 ns since 1601, UTC) as seconds and nanoseconds since 1970.
::timespec timespecFromFileTime(std::uint32_t low, std::uint32_t high);

// The code of GetLastError() (or `error`) with FormatMessageW's text for it.
Failure failureFromWindowsError(unsigned long error);
Failure lastWindowsFailure();

} // namespace tambrel::platform
