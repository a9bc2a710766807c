// How a document, an export or a rule text that cannot be read says so: the failure names the
// input and the place (line and column, counted from 1, and the byte offset from 0), so the
// user can open the file there.
#pragma once

#include "common/result.h"

#include <cstdint>
#include <string_view>

namespace tambrel::report {

// Failure codes of input that is not what it must be; a failed read keeps the system's code.
inline constexpr int kMalformedDocument = 1100;
inline constexpr int kMalformedRules = 1101;

struct TextPlace {
    std::uint64_t line = 1;
    std::uint64_t column = 1;
    std::uint64_t offset = 0;
};

// "NAME:LINE:COLUMN: MESSAGE (byte OFFSET)".
Failure inputFailure(int code, std::string_view name, const TextPlace& place,
                     std::string_view message);

// The place of byte `offset` of `text`, columns counted in bytes.
TextPlace placeIn(std::string_view text, std::size_t offset);

} // namespace tambrel::report
