// Comparing keys and names without regard to ASCII letter case, as grids and the windows
// compare them.
#pragma once

#include <algorithm>
#include <string_view>

namespace tambrel {

inline bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
        return lower(x) == lower(y);
    });
}

} // namespace tambrel
