// Reading text as a number the way the server's version groups are read: the leading decimal
// digits, optionally followed by an exponent, and nothing from the first character that cannot
// continue a number.
#pragma once

#include "common/result.h"

#include <cstdint>
#include <string_view>

namespace tambrel {

inline constexpr int kOverflowError = 6;

// Besides E, the letter D marks an exponent too (1D02 is 100), as it does in the number
// notation of the language the server's tools were written in. Text that begins with anything
// but a digit reads as 0. Fails with "Overflow" when the number does not fit 16 bits (9E99).
Result<std::int16_t> readLeadingNumber(std::string_view text);

} // namespace tambrel
