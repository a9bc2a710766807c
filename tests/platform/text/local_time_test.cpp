// The local time of the command-line tool's JSON: ISO 8601 with the offset in force, which must
// agree with the wall-clock fields on either platform, whatever the machine's zone.
#include "platform/text/local_time.h"

#include <cstdio>
#include <gtest/gtest.h>

namespace tambrel {
namespace {

// Days since 1970-01-01 of a civil date (proleptic Gregorian), after Howard Hinnant.
std::int64_t daysFromCivil(std::int64_t year, unsigned month, unsigned day) {
    year -= month <= 2;
    const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    const unsigned yearOfEra = static_cast<unsigned>(year - era * 400);
    const unsigned dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + static_cast<std::int64_t>(dayOfEra) - 719468;
}

TEST(LocalTime, WallClockMinusOffsetIsTheMomentGiven) {
    const struct {
        const char* name;
        std::int64_t seconds;
    } cases[] = {
        {"the epoch", 0},
        {"a winter day", 1704067200},       // 2024-01-01 00:00 UTC
        {"a summer afternoon", 1719840645}, // 2024-07-01 13:30:45 UTC
        {"a leap day", 1709208000},         // 2024-02-29 12:00 UTC
        {"past 2038", 4102444800},          // 2100-01-01 00:00 UTC
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string text = platform::isoLocalTime(c.seconds);
        int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, offsetHours = 0,
            offsetMinutes = 0;
        char sign = 0;
        int consumed = 0;
        ASSERT_EQ(std::sscanf(text.c_str(), "%4d-%2d-%2dT%2d:%2d:%2d%c%2d:%2d%n", &year, &month,
                              &day, &hour, &minute, &second, &sign, &offsetHours, &offsetMinutes,
                              &consumed),
                  9)
            << text;
        EXPECT_EQ(static_cast<std::size_t>(consumed), text.size()) << text;
        ASSERT_TRUE(sign == '+' || sign == '-') << text;
        const std::int64_t offset =
            (sign == '-' ? -1 : 1) * (offsetHours * 3600 + offsetMinutes * 60);
        const std::int64_t wallClock =
            daysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) * 86400 +
            hour * 3600 + minute * 60 + second;
        EXPECT_EQ(wallClock - offset, c.seconds) << text;
    }
}

} // namespace
} // namespace tambrel
