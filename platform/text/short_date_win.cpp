#include "platform/text/short_date.h"
#include "platform/text/windows_text_win.h"

#include <windows.h>

namespace tambrel {
namespace {

// Every run of the year letter outside quoted text becomes "yyyy": the four-digit year even
// where the user's short form has two.
std::wstring withFourDigitYear(const std::wstring& pattern) {
    std::wstring result;
    bool quoted = false;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const wchar_t c = pattern[i];
        if (c == L'\'')
            quoted = !quoted;
        if (!quoted && c == L'y') {
            while (i + 1 < pattern.size() && pattern[i + 1] == L'y')
                ++i;
            result.append(L"yyyy");
            continue;
        }
        result.push_back(c);
    }
    return result;
}

} // namespace

struct ShortDateFormatter::State {
    std::wstring locale; // empty: the user's default
    std::wstring widePattern;
    std::string pattern;
};

ShortDateFormatter::ShortDateFormatter(std::string_view locale, std::string_view /*timeZone*/)
    : state_(std::make_unique<State>()) {
    // Windows names locales "de-DE"; the POSIX spelling "de_DE" is taken as the same.
    std::wstring name = platform::wideFromUtf8(locale);
    for (wchar_t& c : name)
        if (c == L'_')
            c = L'-';
    state_->locale = name;
    const wchar_t* localeName = name.empty() ? LOCALE_NAME_USER_DEFAULT : name.c_str();
    wchar_t buffer[128] = {};
    std::wstring pattern = L"M/d/yyyy";
    if (::GetLocaleInfoEx(localeName, LOCALE_SSHORTDATE, buffer, 128) > 0)
        pattern = withFourDigitYear(buffer);
    state_->widePattern = pattern;
    state_->pattern = platform::utf8FromWide(pattern);
}

ShortDateFormatter::~ShortDateFormatter() = default;

const std::string& ShortDateFormatter::pattern() const {
    return state_->pattern;
}

std::string ShortDateFormatter::format(std::time_t moment) const {
    // The file time as local time of the machine's zone, as Explorer shows it.
    const std::int64_t ticks =
        static_cast<std::int64_t>(moment) * 10000000LL + 116444736000000000LL;
    FILETIME utc{static_cast<DWORD>(ticks & 0xFFFFFFFF), static_cast<DWORD>(ticks >> 32)};
    SYSTEMTIME universal{};
    SYSTEMTIME local{};
    if (!::FileTimeToSystemTime(&utc, &universal) ||
        !::SystemTimeToTzSpecificLocalTime(nullptr, &universal, &local))
        return {};
    const wchar_t* localeName =
        state_->locale.empty() ? LOCALE_NAME_USER_DEFAULT : state_->locale.c_str();
    wchar_t text[128] = {};
    const int length =
        ::GetDateFormatEx(localeName, 0, &local, state_->widePattern.c_str(), text, 128, nullptr);
    if (length <= 1)
        return {};
    return platform::utf8FromWide(std::wstring_view(text, static_cast<std::size_t>(length - 1)));
}

std::string timeLocaleName() {
    return {}; // the user's default locale
}

std::string shortDate(std::time_t moment) {
    static const ShortDateFormatter formatter(timeLocaleName());
    return formatter.format(moment);
}

} // namespace tambrel
