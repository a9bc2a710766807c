#include "platform/text/user_language.h"
#include "platform/text/windows_text_win.h"

#include <windows.h>

namespace tambrel::platform {

std::int32_t userDefaultLanguageID() {
    // A LANGID is 16 bits, widened with its sign as Windows hands it to a 32-bit caller.
    return static_cast<std::int16_t>(::GetUserDefaultLangID());
}

std::int32_t languageIDFromLocaleName(std::string_view localeName) {
    std::string_view name = localeName.substr(0, localeName.find_first_of(".@"));
    if (name.empty() || name == "C" || name == "POSIX")
        return 1033;
    std::wstring wide = wideFromUtf8(name);
    for (wchar_t& c : wide)
        if (c == L'_')
            c = L'-';
    const LCID lcid = ::LocaleNameToLCID(wide.c_str(), 0);
    const auto languageID = static_cast<std::int16_t>(LANGIDFROMLCID(lcid));
    if (languageID == 0 || lcid == LOCALE_CUSTOM_UNSPECIFIED)
        return 1033;
    return languageID;
}

std::optional<std::string> abbreviatedLanguageName(std::int32_t languageID) {
    if (languageID <= 0 || languageID > 0xFFFF)
        return std::nullopt;
    wchar_t buffer[16] = {};
    const LCID lcid = MAKELCID(static_cast<WORD>(languageID), SORT_DEFAULT);
    const int length = ::GetLocaleInfoW(lcid, LOCALE_SABBREVLANGNAME, buffer, 16);
    if (length <= 1)
        return std::nullopt;
    return utf8FromWide(std::wstring_view(buffer, static_cast<std::size_t>(length - 1)));
}

std::optional<std::string> languageDisplayName(std::int32_t languageID) {
    if (languageID <= 0 || languageID > 0xFFFF)
        return std::nullopt;
    wchar_t buffer[256] = {};
    const DWORD length = ::VerLanguageNameW(static_cast<DWORD>(languageID), buffer, 256);
    if (length == 0 || length >= 256)
        return std::nullopt;
    // Wine counts the terminating null in the length it returns, Windows does not: the name
    // ends at the first null either way, or the menu would show it as a box.
    const std::wstring_view name(buffer, ::wcsnlen(buffer, length));
    if (name.empty())
        return std::nullopt;
    return utf8FromWide(name);
}

} // namespace tambrel::platform
