#include "ui/grid_sort_keys.h"

#include "common/ascii_case.h"

#include <algorithm>
#include <array>
#include <charconv>

namespace tambrel {
namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

SortKind sortKindForKey(std::string_view key) {
    if (key.empty())
        return SortKind::None;
    if (equalIgnoringAsciiCase(key, "SampleRate") || equalIgnoringAsciiCase(key, "FileSize"))
        return SortKind::Number;
    if (equalIgnoringAsciiCase(key, "LastModified"))
        return SortKind::Date;
    return SortKind::Text;
}

DateFieldOrder dateFieldOrder(std::string_view pattern) {
    int next = 0;
    int year = -1;
    int month = -1;
    int day = -1;
    bool quoted = false;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if (c == '\'') {
            quoted = !quoted;
            continue;
        }
        if (quoted)
            continue;
        int* field = nullptr;
        if (c == 'y' || c == 'Y' || c == 'u')
            field = &year;
        else if (c == 'M' || c == 'L')
            field = &month;
        else if (c == 'd')
            field = &day;
        if (!field)
            continue;
        while (i + 1 < pattern.size() && pattern[i + 1] == c)
            ++i;
        if (*field < 0)
            *field = next++;
    }
    if (year < 0 || month < 0 || day < 0)
        return DateFieldOrder{};
    return DateFieldOrder{year, month, day};
}

std::int64_t numberSortKey(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return kUnreadableSortKey;
    text.remove_prefix(first);
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size())
        return kUnreadableSortKey;
    return value;
}

std::int64_t dateSortKey(std::string_view text, DateFieldOrder order) {
    std::array<std::int64_t, 3> numbers{};
    int found = 0;
    std::size_t i = 0;
    while (i < text.size() && found < 3) {
        if (!isDigit(text[i])) {
            ++i;
            continue;
        }
        std::int64_t value = 0;
        int digits = 0;
        for (; i < text.size() && isDigit(text[i]); ++i)
            if (++digits <= 9)
                value = value * 10 + (text[i] - '0');
        numbers[found++] = value;
    }
    if (found < 3 || order.year > 2 || order.month > 2 || order.day > 2)
        return kUnreadableSortKey;
    return numbers[order.year] * 10000 + std::min<std::int64_t>(numbers[order.month], 99) * 100 +
           std::min<std::int64_t>(numbers[order.day], 99);
}

void appendCaseFolded(std::string_view text, std::string& folded) {
    for (char c : text)
        folded.push_back(asciiLower(c));
}

int compareTextIgnoringCase(std::string_view a, std::string_view b) {
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        const auto x = static_cast<unsigned char>(asciiLower(a[i]));
        const auto y = static_cast<unsigned char>(asciiLower(b[i]));
        if (x != y)
            return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

} // namespace tambrel
