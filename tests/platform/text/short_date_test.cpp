#include "platform/text/short_date.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace tambrel {
namespace {

// 2024-03-05 12:00:00 UTC: day and month differ, so every order of them shows.
constexpr std::time_t kFifthOfMarch = 1709640000;

TEST(ShortDate, FollowsTheLocaleWithAFourDigitYearAndNoTime) {
    const std::pair<const char*, const char*> cases[] = {
        {"en_US", "3/5/2024"},   {"de_DE", "05.03.2024"}, {"en_GB", "05/03/2024"},
        {"ja_JP", "2024/03/05"}, {"nl_NL", "05-03-2024"},
    };
    for (const auto& [locale, expected] : cases) {
        ShortDateFormatter formatter(locale, "UTC");
        EXPECT_EQ(formatter.format(kFifthOfMarch), expected)
            << locale << " " << formatter.pattern();
        // The second call comes from the day cache and must be the same text.
        EXPECT_EQ(formatter.format(kFifthOfMarch + 60), expected) << locale;
    }
}

TEST(ShortDate, DaysAreTakenInTheFormattersTimeZone) {
    ShortDateFormatter tokyo("en_US", "Asia/Tokyo");
    ShortDateFormatter newYork("en_US", "America/New_York");
    const std::time_t lateEvening = 1709679600; // 2024-03-05 23:00 UTC
    EXPECT_EQ(tokyo.format(lateEvening), "3/6/2024");
    EXPECT_EQ(newYork.format(lateEvening), "3/5/2024");
    EXPECT_EQ(tokyo.format(kFifthOfMarch), "3/5/2024");
}

// Days 4096 apart (sharing a slot of a cache of any power-of-two size up to that) and days
// before 1970 must each still get their own text, in whatever order they come.
TEST(ShortDate, CachedDaysNeverStandForOtherDays) {
    ShortDateFormatter formatter("en_US", "UTC");
    constexpr std::time_t kDay = 86400;
    const std::pair<std::time_t, const char*> moments[] = {
        {kFifthOfMarch, "3/5/2024"},
        {kFifthOfMarch - 8192 * kDay, "9/30/2001"},
        {kFifthOfMarch + 4096 * kDay, "5/23/2035"},
        {kFifthOfMarch - 4096 * kDay, "12/17/2012"},
        {kFifthOfMarch - 20000 * kDay, "6/2/1969"},
        {-1, "12/31/1969"},
        {0, "1/1/1970"},
    };
    for (int round = 0; round < 2; ++round)
        for (const auto& [moment, expected] : moments)
            EXPECT_EQ(formatter.format(moment), expected) << moment << " round " << round;
}

TEST(ShortDate, TimeLocaleComesFromTheEnvironmentInItsOrder) {
    const char* saved[3] = {std::getenv("LC_ALL"), std::getenv("LC_TIME"), std::getenv("LANG")};
    const std::string keep[3] = {saved[0] ? saved[0] : "", saved[1] ? saved[1] : "",
                                 saved[2] ? saved[2] : ""};
    ::unsetenv("LC_ALL");
    ::setenv("LC_TIME", "de_DE.UTF-8@euro", 1);
    ::setenv("LANG", "fr_FR.UTF-8", 1);
    EXPECT_EQ(timeLocaleName(), "de_DE");
    ::unsetenv("LC_TIME");
    EXPECT_EQ(timeLocaleName(), "fr_FR");
    ::setenv("LC_ALL", "C.UTF-8", 1);
    EXPECT_EQ(timeLocaleName(), "en_US");
    const char* names[3] = {"LC_ALL", "LC_TIME", "LANG"};
    for (int i = 0; i < 3; ++i) {
        if (saved[i])
            ::setenv(names[i], keep[i].c_str(), 1);
        else
            ::unsetenv(names[i]);
    }
}

} // namespace
} // namespace tambrel
