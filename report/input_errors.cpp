#include "report/input_errors.h"

#include <algorithm>
#include <string>

namespace tambrel::report {

Failure inputFailure(int code, std::string_view name, const TextPlace& place,
                     std::string_view message) {
    std::string text(name);
    text.append(":" + std::to_string(place.line) + ":" + std::to_string(place.column) + ": ");
    text.append(message);
    text.append(" (byte " + std::to_string(place.offset) + ")");
    return Failure{code, std::move(text)};
}

TextPlace placeIn(std::string_view text, std::size_t offset) {
    offset = std::min(offset, text.size());
    const std::string_view before = text.substr(0, offset);
    const auto lines = static_cast<std::uint64_t>(std::count(before.begin(), before.end(), '\n'));
    const std::size_t lineStart = before.rfind('\n');
    const std::size_t column =
        lineStart == std::string_view::npos ? offset + 1 : offset - lineStart;
    return {lines + 1, column, offset};
}

} // namespace tambrel::report
