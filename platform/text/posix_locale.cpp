#include "platform/text/posix_locale.h"

#include <cstdlib>

namespace tambrel {
namespace {

// Longer names than this are not locale names; ICU's own buffers are not much larger.
constexpr std::size_t kLongestLocaleName = 64;

bool isLocaleNameCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '-';
}

} // namespace

std::string posixMessagesLocale() {
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value && *value)
            return value;
    }
    return {};
}

std::optional<std::string> icuLocaleName(std::string_view posixLocale) {
    std::string_view name = posixLocale.substr(0, posixLocale.find_first_of(".@"));
    if (name.empty() || name == "C" || name == "POSIX" || name.size() > kLongestLocaleName)
        return std::nullopt;
    for (char c : name) {
        if (!isLocaleNameCharacter(c))
            return std::nullopt;
    }
    return std::string(name);
}

} // namespace tambrel
