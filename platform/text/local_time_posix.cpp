#include "platform/text/local_time.h"

#include <cstdio>
#include <ctime>

namespace tambrel::platform {

std::string isoLocalTime(std::int64_t secondsSinceEpoch) {
    const std::time_t moment = static_cast<std::time_t>(secondsSinceEpoch);
    std::tm local{};
    if (!::localtime_r(&moment, &local))
        return {};
    const long offset = local.tm_gmtoff;
    const long magnitude = offset < 0 ? -offset : offset;
    char text[64];
    const int length =
        std::snprintf(text, sizeof text, "%04lld-%02d-%02dT%02d:%02d:%02d%c%02ld:%02ld",
                      static_cast<long long>(local.tm_year) + 1900, local.tm_mon + 1, local.tm_mday,
                      local.tm_hour, local.tm_min, local.tm_sec, offset < 0 ? '-' : '+',
                      magnitude / 3600, magnitude / 60 % 60);
    if (length <= 0 || static_cast<std::size_t>(length) >= sizeof text)
        return {};
    return std::string(text, static_cast<std::size_t>(length));
}

} // namespace tambrel::platform
