#include "localize/language_names.h"

#include "platform/text/user_language.h"

#include <algorithm>
#include <array>

namespace tambrel {
namespace {

struct AbbreviationRow {
    std::string_view abbreviation;
    std::int32_t languageID;
};

// The program's own table, searched top to bottom. It is not derived from the locale service:
// where the two disagree (Hong Kong is "ZHT" here), the disagreement is deliberate.
constexpr std::array<AbbreviationRow, 44> kAbbreviations = {{
    {"ENX", 33801}, {"ENU", 1033},  {"ENG", 2057}, {"ENA", 3081},  {"ENC", 4105},  {"ENZ", 5129},
    {"ENI", 6153},  {"DEU", 1031},  {"DES", 2055}, {"DEA", 3079},  {"DEL", 4103},  {"DEC", 5127},
    {"ESP", 1034},  {"ESM", 2058},  {"ESN", 3082}, {"ESG", 4106},  {"ESC", 5130},  {"ESA", 6154},
    {"ESD", 7178},  {"ESV", 8202},  {"ESO", 9226}, {"ESR", 10250}, {"ESS", 11274}, {"ESH", 18442},
    {"ESI", 19466}, {"ESU", 20490}, {"FRA", 1036}, {"FRB", 2060},  {"FRC", 3084},  {"FRS", 4108},
    {"FRL", 5132},  {"ITA", 1040},  {"ITS", 2064}, {"JPN", 1041},  {"NLD", 1043},  {"NLB", 2067},
    {"NOR", 1044},  {"NON", 2068},  {"PTB", 1046}, {"PTG", 2070},  {"CHT", 1028},  {"ZHT", 3076},
    {"CHS", 2052},  {"ZHI", 4100},
}};

constexpr std::int32_t kDefaultLanguageID = 1033;
constexpr std::string_view kTddTtyAbbreviation = "ENX";
constexpr std::string_view kTddTtyName = "English (TDD/TTY)";

std::string trimBlanks(std::string_view text) {
    std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    std::size_t last = text.find_last_not_of(' ');
    return std::string(text.substr(first, last - first + 1));
}

} // namespace

std::string strLanguageAbbrevFromID(std::int32_t languageID) {
    if (languageID == kTddTtyLanguageID)
        return std::string(kTddTtyAbbreviation);
    std::optional<std::string> answer = localeAbbreviatedLanguageName(languageID);
    if (!answer || answer->empty())
        return "ERR";
    return trimBlanks(std::string_view(*answer).substr(0, 3));
}

std::int32_t lngLanguageIDFromAbbrev(std::string_view abbreviation) {
    for (const AbbreviationRow& row : kAbbreviations) {
        if (row.abbreviation == abbreviation)
            return row.languageID;
    }
    return kDefaultLanguageID;
}

std::string strLanguageNameFromID(std::int32_t languageID) {
    if (languageID == kTddTtyLanguageID)
        return std::string(kTddTtyName);
    std::optional<std::string> name = localeLanguageDisplayName(languageID);
    if (!name || name->empty())
        return "(error)";
    return *name;
}

std::string strLanguageNameFromAbbrev(std::string_view abbreviation) {
    return strLanguageNameFromID(lngLanguageIDFromAbbrev(abbreviation));
}

std::optional<std::string> localeAbbreviatedLanguageName(std::int32_t languageID) {
    return platform::abbreviatedLanguageName(languageID);
}

std::optional<std::string> localeLanguageDisplayName(std::int32_t languageID) {
    return platform::languageDisplayName(languageID);
}

std::int32_t languageIDFromLocaleName(std::string_view localeName) {
    return platform::languageIDFromLocaleName(localeName);
}

} // namespace tambrel
