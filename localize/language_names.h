// Conversions between Windows language identifiers, three-letter abbreviations and display
// names. The abbreviation table is the program's own; the rest asks the locale services.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tambrel {

inline constexpr std::int32_t kTddTtyLanguageID = 33801; // the program's own "ENX"

std::string strLanguageAbbrevFromID(std::int32_t languageID);
std::int32_t lngLanguageIDFromAbbrev(std::string_view abbreviation);
std::string strLanguageNameFromID(std::int32_t languageID);
std::string strLanguageNameFromAbbrev(std::string_view abbreviation);

// Locale services in place of GetLocaleInfoA(LOCALE_SABBREVLANGNAME) and VerLanguageNameA.
std::optional<std::string> localeAbbreviatedLanguageName(std::int32_t languageID);
std::optional<std::string> localeLanguageDisplayName(std::int32_t languageID);
// A POSIX locale name such as "de_DE.UTF-8" as a Windows language identifier; 1033 for C,
// POSIX or anything unknown.
std::int32_t languageIDFromLocaleName(std::string_view localeName);

} // namespace tambrel
