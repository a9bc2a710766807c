// The POSIX locale that names the user's language for messages, and its conversion to the
// locale name ICU understands.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tambrel {

// The first non-empty of LC_ALL, LC_MESSAGES and LANG; empty when none is set.
std::string posixMessagesLocale();

// "de_DE.UTF-8@euro" as "de_DE": the encoding and modifier dropped. nullopt for "C", "POSIX",
// the empty name and anything that is not a plausible locale name.
std::optional<std::string> icuLocaleName(std::string_view posixLocale);

} // namespace tambrel
