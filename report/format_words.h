// Short words for the format tags an administrator names in rules ("mulaw", "gsm610"), each
// for one registered tag, so that rules read as the formats are spoken of.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tambrel::report {

// The tag of a format word, letter case ignored; none for an unknown word.
std::optional<std::uint32_t> formatTagOfWord(std::string_view word);
// The word of a tag, or the tag as 0x hexadecimal when it has none.
std::string formatWordOfTag(std::uint32_t tag);
// Every word, for messages: "pcm, adpcm, float, …".
std::string formatWordList();

} // namespace tambrel::report
