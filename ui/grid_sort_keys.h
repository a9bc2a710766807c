// What a grid column sorts by when its header is clicked: numbers by value, the date column by
// the date its short-date text stands for, everything else by text without regard to case.
#pragma once

#include <cstdint>
#include <limits>
#include <string_view>

namespace tambrel {

enum class SortKind { None, Text, Number, Date };

// The kind of the column bearing `key` (none for the keyless column).
SortKind sortKindForKey(std::string_view key);

// Where year, month and day stand among the numbers of a short date, 0 to 2 each.
struct DateFieldOrder {
    int year = 2;
    int month = 0;
    int day = 1;
};
// Read from a date pattern such as "M/d/yyyy" or "dd.MM.yyyy"; quoted text is skipped.
// A pattern without all three fields gives month, day, year.
DateFieldOrder dateFieldOrder(std::string_view pattern);

// Texts that do not hold what their kind expects sort before every proper value.
inline constexpr std::int64_t kUnreadableSortKey = std::numeric_limits<std::int64_t>::min();

// A sign-position decimal (" 8000", "-1") as its value.
std::int64_t numberSortKey(std::string_view text);
// A short date as yyyymmdd, from its first three runs of digits in `order`.
std::int64_t dateSortKey(std::string_view text, DateFieldOrder order);

// Case-blind (ASCII) byte order; negative, zero or positive like strcmp.
int compareTextIgnoringCase(std::string_view a, std::string_view b);
// `text` with ASCII capitals made small, appended to `folded`: plain byte order of folded texts
// is compareTextIgnoringCase's order, and memcmp is far faster on a million rows.
void appendCaseFolded(std::string_view text, std::string& folded);

} // namespace tambrel
