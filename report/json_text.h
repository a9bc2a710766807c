// The pieces of JSON text the documents and reports are written with: strings that carry any
// file name, bytes that are not UTF-8 included, and numbers in their shortest exact form.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tambrel::report {

// `text` as a JSON string, quotes included. A byte that is not part of well-formed UTF-8
// becomes \udcXX (XX the byte): the lone surrogates Python's "surrogateescape" maps back to the
// bytes, and that readDocument turns back into the same byte.
void appendJsonString(std::string& out, std::string_view text);
void appendJsonNumber(std::string& out, std::uint64_t value);
// Shortest text that reads back as the same double; null for NaN and infinities.
void appendJsonNumber(std::string& out, double value);

// The optional forms write null when there is no value.
void appendJsonStringOrNull(std::string& out, const std::optional<std::string>& text);
void appendJsonNumber(std::string& out, const std::optional<std::uint32_t>& value);
void appendJsonNumber(std::string& out, const std::optional<std::uint64_t>& value);
void appendJsonNumber(std::string& out, const std::optional<double>& value);

// Length of the well-formed UTF-8 sequence at `at` (RFC 3629: no overlong forms, no
// surrogates, nothing above U+10FFFF), or 0.
std::size_t utf8SequenceLength(std::string_view text, std::size_t at);

} // namespace tambrel::report
