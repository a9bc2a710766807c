#include "platform/text/short_date.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <unicode/datefmt.h>
#include <unicode/smpdtfmt.h>
#include <unicode/timezone.h>

namespace tambrel {
namespace {

// Every run of the year letter outside quoted text becomes "yyyy": Windows users expect the
// four-digit year even where the locale's short form has two.
icu::UnicodeString withFourDigitYear(const icu::UnicodeString& pattern) {
    icu::UnicodeString result;
    bool quoted = false;
    for (std::int32_t i = 0; i < pattern.length(); ++i) {
        const char16_t c = pattern.charAt(i);
        if (c == u'\'')
            quoted = !quoted;
        if (!quoted && c == u'y') {
            while (i + 1 < pattern.length() && pattern.charAt(i + 1) == u'y')
                ++i;
            result.append(u"yyyy");
            continue;
        }
        result.append(c);
    }
    return result;
}

struct CachedDay {
    std::int64_t day = std::numeric_limits<std::int64_t>::min();
    std::string text;
};

} // namespace

struct ShortDateFormatter::State {
    std::unique_ptr<icu::SimpleDateFormat> formatter;
    std::unique_ptr<icu::TimeZone> zone;
    std::string pattern;
    // Formatting is by far the dearest part of a file row, so each day is formatted once. The
    // days of a server's recordings span years and the files of a folder do not come in date
    // order, so the cache holds more than eleven years of days before two share a slot.
    mutable std::array<CachedDay, 4096> cache;
};

ShortDateFormatter::ShortDateFormatter(std::string_view locale, std::string_view timeZone)
    : state_(std::make_unique<State>()) {
    const icu::Locale icuLocale(std::string(locale).c_str());
    std::unique_ptr<icu::DateFormat> generic(
        icu::DateFormat::createDateInstance(icu::DateFormat::kShort, icuLocale));
    icu::UnicodeString pattern(u"M/d/yyyy");
    if (auto* simple = dynamic_cast<icu::SimpleDateFormat*>(generic.get())) {
        icu::UnicodeString localePattern;
        simple->toPattern(localePattern);
        pattern = withFourDigitYear(localePattern);
    }
    UErrorCode status = U_ZERO_ERROR;
    state_->formatter = std::make_unique<icu::SimpleDateFormat>(pattern, icuLocale, status);
    if (U_FAILURE(status)) {
        status = U_ZERO_ERROR;
        pattern = u"M/d/yyyy";
        state_->formatter = std::make_unique<icu::SimpleDateFormat>(pattern, status);
    }
    state_->zone.reset(timeZone.empty() ? icu::TimeZone::createDefault()
                                        : icu::TimeZone::createTimeZone(
                                              icu::UnicodeString::fromUTF8(std::string(timeZone))));
    state_->formatter->setTimeZone(*state_->zone);
    pattern.toUTF8String(state_->pattern);
}

ShortDateFormatter::~ShortDateFormatter() = default;

const std::string& ShortDateFormatter::pattern() const {
    return state_->pattern;
}

std::string ShortDateFormatter::format(std::time_t moment) const {
    const UDate milliseconds = static_cast<UDate>(moment) * 1000.0;
    std::int32_t rawOffset = 0;
    std::int32_t daylightOffset = 0;
    UErrorCode status = U_ZERO_ERROR;
    state_->zone->getOffset(milliseconds, false, rawOffset, daylightOffset, status);
    CachedDay* slot = nullptr;
    const double localDay = std::floor((milliseconds + rawOffset + daylightOffset) / 86400000.0);
    if (U_SUCCESS(status) && std::fabs(localDay) < 1e15) {
        const auto day = static_cast<std::int64_t>(localDay);
        slot = &state_->cache[static_cast<std::uint64_t>(day) % state_->cache.size()];
        if (slot->day == day)
            return slot->text;
        slot->day = day;
    }
    icu::UnicodeString formatted;
    state_->formatter->format(milliseconds, formatted);
    std::string text;
    formatted.toUTF8String(text);
    if (slot)
        slot->text = text;
    return text;
}

std::string timeLocaleName() {
    std::string name;
    for (const char* variable : {"LC_ALL", "LC_TIME", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value && *value) {
            name = value;
            break;
        }
    }
    name = name.substr(0, name.find_first_of(".@"));
    if (name.empty() || name == "C" || name == "POSIX")
        return "en_US";
    return name;
}

std::string shortDate(std::time_t moment) {
    static const ShortDateFormatter formatter(timeLocaleName());
    return formatter.format(moment);
}

} // namespace tambrel
