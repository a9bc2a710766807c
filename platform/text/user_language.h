// The user's language and the names of languages, by Windows language identifier: on Windows
// the system's own locale services, on POSIX the messages locale and ICU.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tambrel::platform {

// GetUserDefaultLangID; on POSIX the messages locale (LC_ALL, LC_MESSAGES, LANG), 1033 for C,
// POSIX or anything unknown.
std::int32_t userDefaultLanguageID();

// A locale name ("de_DE.UTF-8", "de-DE", a bare "de" meaning its most likely country) as a
// Windows language identifier; 1033 for C, POSIX or anything unknown.
std::int32_t languageIDFromLocaleName(std::string_view localeName);

// LOCALE_SABBREVLANGNAME of the identifier ("DEU"); nothing when the system does not know it.
std::optional<std::string> abbreviatedLanguageName(std::int32_t languageID);

// VerLanguageName of the identifier in the user's language ("German (Germany)"), UTF-8;
// nothing when the system cannot name it.
std::optional<std::string> languageDisplayName(std::int32_t languageID);

} // namespace tambrel::platform
