#include "report/modification_time.h"

namespace tambrel::report {
namespace {

// Days since 1970-01-01 of a date of the proleptic Gregorian calendar (H. Hinnant's method).
std::int64_t daysFromCivil(std::int64_t year, unsigned month, unsigned day) {
    year -= month <= 2;
    const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    const auto yearOfEra = static_cast<unsigned>(year - era * 400);
    const unsigned dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + static_cast<std::int64_t>(dayOfEra) - 719468;
}

struct CivilDate {
    std::int64_t year;
    unsigned month, day;
};

CivilDate civilFromDays(std::int64_t days) {
    days += 719468;
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const auto dayOfEra = static_cast<unsigned>(days - era * 146097);
    const unsigned yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const unsigned shiftedMonth = (5 * dayOfYear + 2) / 153;
    const unsigned day = dayOfYear - (153 * shiftedMonth + 2) / 5 + 1;
    const unsigned month = shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9;
    return {static_cast<std::int64_t>(yearOfEra) + era * 400 + (month <= 2), month, day};
}

std::int64_t floorDivide(std::int64_t value, std::int64_t divisor) {
    return value / divisor - (value % divisor < 0);
}

// Reads exactly `count` digits at `at`.
bool readDigits(std::string_view text, std::size_t& at, std::size_t count, unsigned& value) {
    if (at + count > text.size())
        return false;
    value = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const char c = text[at + i];
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    at += count;
    return true;
}

bool expect(std::string_view text, std::size_t& at, char c) {
    if (at >= text.size() || text[at] != c)
        return false;
    ++at;
    return true;
}

} // namespace

void appendIsoTime(std::string& out, const ModificationTime& time) {
    const std::int64_t local = time.utcSeconds + std::int64_t{time.offsetMinutes} * 60;
    const std::int64_t days = floorDivide(local, 86400);
    const std::int64_t secondOfDay = local - days * 86400;
    const CivilDate date = civilFromDays(days);
    const int magnitude = time.offsetMinutes < 0 ? -time.offsetMinutes : time.offsetMinutes;
    if (date.year < 0 || date.year > 9999) {
        out.append("0000-01-01T00:00:00+00:00"); // beyond what ISO 8601's basic form writes
        return;
    }
    // Written digit by digit: a million rows each have one.
    char text[25];
    const auto two = [&](int at, unsigned value) {
        text[at] = static_cast<char>('0' + value / 10);
        text[at + 1] = static_cast<char>('0' + value % 10);
    };
    const auto year = static_cast<unsigned>(date.year);
    two(0, year / 100);
    two(2, year % 100);
    text[4] = '-';
    two(5, date.month);
    text[7] = '-';
    two(8, date.day);
    text[10] = 'T';
    two(11, static_cast<unsigned>(secondOfDay / 3600));
    text[13] = ':';
    two(14, static_cast<unsigned>(secondOfDay / 60 % 60));
    text[16] = ':';
    two(17, static_cast<unsigned>(secondOfDay % 60));
    text[19] = time.offsetMinutes < 0 ? '-' : '+';
    two(20, static_cast<unsigned>(magnitude / 60 % 100));
    text[22] = ':';
    two(23, static_cast<unsigned>(magnitude % 60));
    out.append(text, sizeof text);
}

std::optional<ModificationTime> parseIsoTime(std::string_view text) {
    std::size_t at = 0;
    unsigned year, month, day, hour, minute, second;
    if (!readDigits(text, at, 4, year) || !expect(text, at, '-') ||
        !readDigits(text, at, 2, month) || !expect(text, at, '-') ||
        !readDigits(text, at, 2, day) || !expect(text, at, 'T') || !readDigits(text, at, 2, hour) ||
        !expect(text, at, ':') || !readDigits(text, at, 2, minute) || !expect(text, at, ':') ||
        !readDigits(text, at, 2, second))
        return std::nullopt;
    static constexpr unsigned kMonthDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12 || day < 1 || day > kMonthDays[month - 1] || hour > 23 ||
        minute > 59 || second > 60)
        return std::nullopt;
    if (at < text.size() && (text[at] == '.' || text[at] == ',')) {
        ++at;
        const std::size_t fractionStart = at;
        while (at < text.size() && text[at] >= '0' && text[at] <= '9')
            ++at;
        if (at == fractionStart)
            return std::nullopt;
    }
    int offsetMinutes = 0;
    if (at < text.size() && text[at] == 'Z') {
        ++at;
    } else if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        const bool negative = text[at] == '-';
        ++at;
        unsigned offsetHours, offsetRest;
        if (!readDigits(text, at, 2, offsetHours) || !expect(text, at, ':') ||
            !readDigits(text, at, 2, offsetRest) || offsetHours > 23 || offsetRest > 59)
            return std::nullopt;
        offsetMinutes = static_cast<int>(offsetHours * 60 + offsetRest) * (negative ? -1 : 1);
    } else {
        return std::nullopt;
    }
    if (at != text.size())
        return std::nullopt;
    const std::int64_t local =
        daysFromCivil(year, month, day) * 86400 + std::int64_t{hour} * 3600 + minute * 60 + second;
    return ModificationTime{local - std::int64_t{offsetMinutes} * 60, offsetMinutes};
}

} // namespace tambrel::report
