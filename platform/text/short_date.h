// The short date of the user's regional settings, always with a four-digit year and without
// the time of day: the form of a file row's date cell.
#pragma once

#include <ctime>
#include <memory>
#include <string>
#include <string_view>

namespace tambrel {

class ShortDateFormatter {
public:
    // `locale` is an ICU locale name such as "de_DE"; `timeZone` an Olson name, or empty for
    // the system's own zone.
    ShortDateFormatter(std::string_view locale, std::string_view timeZone = {});
    ~ShortDateFormatter();
    ShortDateFormatter(const ShortDateFormatter&) = delete;
    ShortDateFormatter& operator=(const ShortDateFormatter&) = delete;

    std::string format(std::time_t moment) const;
    // The pattern in use, such as "M/d/yyyy".
    const std::string& pattern() const;

private:
    struct State;
    std::unique_ptr<State> state_;
};

// The locale of the user's date settings: LC_ALL, LC_TIME, then LANG, as an ICU name; "en_US"
// for C, POSIX and nothing set.
std::string timeLocaleName();

// Formats with one formatter for the whole program, made on first use from timeLocaleName().
std::string shortDate(std::time_t moment);

} // namespace tambrel
