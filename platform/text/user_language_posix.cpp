#include "common/locale/locale_abbreviations.h"
#include "platform/text/posix_locale.h"
#include "platform/text/user_language.h"

#include <algorithm>
#include <array>
#include <unicode/uloc.h>
#include <unicode/ustring.h>

namespace tambrel::platform {
namespace {

constexpr std::int32_t kDefaultLanguageID = 1033;

// Only the language identifier (low 16 bits) of the LCID matters, not the sort identifier.
std::uint32_t lcidLanguage(const char* locale) {
    return uloc_getLCID(locale) & 0xFFFFu;
}

// ICU knows some locales only without their script ("de_DE", not "de_Latn_DE"); the script
// counts where it tells languages apart ("sr_Latn_RS"), so it is tried first.
std::uint32_t windowsLanguageOf(const std::string& locale) {
    std::uint32_t languageID = lcidLanguage(locale.c_str());
    if (languageID > 0x3FF) // has a sublanguage: a language of a country
        return languageID;
    UErrorCode status = U_ZERO_ERROR;
    std::array<char, ULOC_FULLNAME_CAPACITY> language{};
    std::array<char, ULOC_FULLNAME_CAPACITY> country{};
    uloc_getLanguage(locale.c_str(), language.data(), language.size(), &status);
    uloc_getCountry(locale.c_str(), country.data(), country.size(), &status);
    if (U_FAILURE(status) || country[0] == '\0')
        return languageID;
    std::string withoutScript = std::string(language.data()) + "_" + country.data();
    std::uint32_t countryLanguage = lcidLanguage(withoutScript.c_str());
    return countryLanguage != 0 ? countryLanguage : languageID;
}

} // namespace

std::int32_t userDefaultLanguageID() {
    return languageIDFromLocaleName(posixMessagesLocale());
}

std::optional<std::string> abbreviatedLanguageName(std::int32_t languageID) {
    std::optional<std::string_view> abbreviation = windowsAbbreviatedLanguageName(languageID);
    if (!abbreviation)
        return std::nullopt;
    return std::string(*abbreviation);
}

std::optional<std::string> languageDisplayName(std::int32_t languageID) {
    if (languageID <= 0 || languageID > 0xFFFF)
        return std::nullopt;
    UErrorCode status = U_ZERO_ERROR;
    std::array<char, ULOC_FULLNAME_CAPACITY> locale{};
    std::int32_t localeLength = uloc_getLocaleForLCID(static_cast<std::uint32_t>(languageID),
                                                      locale.data(), locale.size(), &status);
    if (U_FAILURE(status) || localeLength <= 0 ||
        localeLength >= static_cast<std::int32_t>(locale.size()))
        return std::nullopt;

    std::string displayLocale = icuLocaleName(posixMessagesLocale()).value_or("en");
    std::array<UChar, 256> name{};
    status = U_ZERO_ERROR;
    std::int32_t nameLength = uloc_getDisplayName(locale.data(), displayLocale.c_str(), name.data(),
                                                  name.size(), &status);
    if (U_FAILURE(status) || nameLength <= 0)
        return std::nullopt;
    nameLength = std::min<std::int32_t>(nameLength, static_cast<std::int32_t>(name.size()));

    std::array<char, 1024> utf8{};
    std::int32_t utf8Length = 0;
    status = U_ZERO_ERROR;
    u_strToUTF8(utf8.data(), utf8.size(), &utf8Length, name.data(), nameLength, &status);
    if (U_FAILURE(status) || utf8Length <= 0 || utf8Length > static_cast<std::int32_t>(utf8.size()))
        return std::nullopt;
    return std::string(utf8.data(), static_cast<std::size_t>(utf8Length));
}

std::int32_t languageIDFromLocaleName(std::string_view localeName) {
    std::optional<std::string> locale = icuLocaleName(localeName);
    if (!locale)
        return kDefaultLanguageID;

    UErrorCode status = U_ZERO_ERROR;
    std::array<char, ULOC_FULLNAME_CAPACITY> country{};
    uloc_getCountry(locale->c_str(), country.data(), country.size(), &status);
    if (U_SUCCESS(status) && country[0] == '\0') {
        // A bare language ("de") names the neutral language to Windows; the user means the
        // language of its most likely country.
        std::array<char, ULOC_FULLNAME_CAPACITY> likely{};
        status = U_ZERO_ERROR;
        std::int32_t length =
            uloc_addLikelySubtags(locale->c_str(), likely.data(), likely.size(), &status);
        if (U_SUCCESS(status) && length > 0 && length < static_cast<std::int32_t>(likely.size()))
            *locale = std::string(likely.data(), static_cast<std::size_t>(length));
    }
    std::uint32_t languageID = windowsLanguageOf(*locale);
    if (languageID == 0)
        return kDefaultLanguageID;
    // A LANGID is 16 bits, widened with its sign as Windows hands it to a 32-bit caller.
    return static_cast<std::int16_t>(languageID);
}

} // namespace tambrel::platform
