#include "server/leading_number.h"

#include <cmath>

namespace tambrel {

namespace {

bool isDigit(char character) {
    return character >= '0' && character <= '9';
}

bool isExponentMarker(char character) {
    return character == 'E' || character == 'e' || character == 'D' || character == 'd';
}

} // namespace

Result<std::int16_t> readLeadingNumber(std::string_view text) {
    std::size_t position = 0;
    double mantissa = 0;
    while (position < text.size() && isDigit(text[position]))
        mantissa = mantissa * 10 + (text[position++] - '0');

    int exponent = 0;
    if (position > 0 && position < text.size() && isExponentMarker(text[position])) {
        std::size_t digits = position + 1;
        int sign = 1;
        if (digits < text.size() && (text[digits] == '+' || text[digits] == '-'))
            sign = text[digits++] == '-' ? -1 : 1;
        if (digits < text.size() && isDigit(text[digits])) {
            while (digits < text.size() && isDigit(text[digits])) {
                // Past a few digits the answer is an overflow (or 0) whatever follows.
                if (exponent < 1000)
                    exponent = exponent * 10 + (text[digits] - '0');
                ++digits;
            }
            exponent *= sign;
        }
    }

    const double number = mantissa == 0 ? 0.0 : std::nearbyint(mantissa * std::pow(10.0, exponent));
    if (!(number >= -32768.0 && number <= 32767.0))
        return Failure{kOverflowError, "Overflow"};
    return static_cast<std::int16_t>(number);
}

} // namespace tambrel
