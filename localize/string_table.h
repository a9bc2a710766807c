// The program's own English string table, IDs 0 to 41, and the texts of our own from 100 on
// (localize/own_texts.h). A language library may replace any entry; an absent or empty entry
// falls back to the text here.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace tambrel {

inline constexpr std::int32_t kStringTableSize = 42;

// The English text of `id`, or nullopt for an ID the table does not hold.
std::optional<std::string_view> builtInString(std::int32_t id);

} // namespace tambrel
