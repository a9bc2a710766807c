// Conversions between the 8-bit text callers use (UTF-8) and the UTF-16 code units the registry
// stores.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace tambrel {

// Appends `text` as UTF-16 units. A byte that does not start a valid UTF-8 sequence stands for
// itself (Latin-1), so no input is ever refused.
void appendUtf8AsUtf16(std::string_view text, std::u16string& units);

// Length of the UTF-8 sequence that `text` begins with, and its code point; 0 when it does not
// begin with a valid one (overlong forms, surrogates and values past U+10FFFF are not valid).
std::size_t decodeUtf8Sequence(std::string_view text, char32_t& codePoint);

// Appends one code point (at most U+10FFFF) as its one to four UTF-8 bytes.
void appendCodePointAsUtf8(char32_t codePoint, std::string& text);

// Appends one code point as one or two UTF-16 units.
void appendCodePointAsUtf16(char32_t codePoint, std::u16string& units);

// UTF-16 little-endian bytes as UTF-8; an odd last byte is dropped and a lone surrogate becomes
// U+FFFD, as the Windows conversion does.
std::string utf16LittleEndianToUtf8(std::span<const std::uint8_t> bytes);

} // namespace tambrel
