// The three-letter abbreviated language names that Windows reports for its language
// identifiers (LOCALE_SABBREVLANGNAME), for the platforms that have no such service.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace tambrel {

// nullopt for an identifier the table does not know, as the locale service fails for it.
std::optional<std::string_view> windowsAbbreviatedLanguageName(std::int32_t languageID);

} // namespace tambrel
