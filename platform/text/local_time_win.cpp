#include "platform/text/local_time.h"

#include <cstdio>
#include <windows.h>

namespace tambrel::platform {
namespace {

// 100-nanosecond ticks between 1601-01-01 (FILETIME) and 1970-01-01.
constexpr std::int64_t kEpochTicks = 116444736000000000LL;
constexpr std::int64_t kTicksPerSecond = 10000000LL;

std::int64_t ticksOf(const FILETIME& time) {
    return static_cast<std::int64_t>((static_cast<std::uint64_t>(time.dwHighDateTime) << 32) |
                                     time.dwLowDateTime);
}

} // namespace

std::string isoLocalTime(std::int64_t secondsSinceEpoch) {
    if (secondsSinceEpoch < -kEpochTicks / kTicksPerSecond ||
        secondsSinceEpoch > (INT64_MAX - kEpochTicks) / kTicksPerSecond)
        return {};
    const std::uint64_t ticks =
        static_cast<std::uint64_t>(secondsSinceEpoch * kTicksPerSecond + kEpochTicks);
    FILETIME universal{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    SYSTEMTIME universalParts;
    SYSTEMTIME localParts;
    FILETIME local;
    // The rules of the time zone for that moment, daylight saving included, as Explorer shows it.
    if (!::FileTimeToSystemTime(&universal, &universalParts) ||
        !::SystemTimeToTzSpecificLocalTime(nullptr, &universalParts, &localParts) ||
        !::SystemTimeToFileTime(&localParts, &local))
        return {};
    const long long offset = (ticksOf(local) - ticksOf(universal)) / kTicksPerSecond;
    const long long magnitude = offset < 0 ? -offset : offset;
    char text[64];
    const int length = std::snprintf(
        text, sizeof text, "%04u-%02u-%02uT%02u:%02u:%02u%c%02lld:%02lld", localParts.wYear,
        localParts.wMonth, localParts.wDay, localParts.wHour, localParts.wMinute,
        localParts.wSecond, offset < 0 ? '-' : '+', magnitude / 3600, magnitude / 60 % 60);
    if (length <= 0 || static_cast<std::size_t>(length) >= sizeof text)
        return {};
    return std::string(text, static_cast<std::size_t>(length));
}

} // namespace tambrel::platform
