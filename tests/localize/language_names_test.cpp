// Language identifiers, abbreviations and display names, and the user's language from the
// POSIX locale.
#include "localize/language_names.h"
#include "localize/language_state.h"
#include "tests/localize/scoped_locale.h"

#include <gtest/gtest.h>

namespace tambrel {
namespace {

// The abbreviations of the program's own table, in its order.
const std::vector<std::string> kProgramAbbreviations = {
    "ENX", "ENU", "ENG", "ENA", "ENC", "ENZ", "ENI", "DEU", "DES", "DEA", "DEL",
    "DEC", "ESP", "ESM", "ESN", "ESG", "ESC", "ESA", "ESD", "ESV", "ESO", "ESR",
    "ESS", "ESH", "ESI", "ESU", "FRA", "FRB", "FRC", "FRS", "FRL", "ITA", "ITS",
    "JPN", "NLD", "NLB", "NOR", "NON", "PTB", "PTG", "CHT", "ZHT", "CHS", "ZHI"};

struct AbbreviationToID {
    std::string name;
    std::string abbreviation;
    std::int32_t languageID;
};

class AbbreviationTable : public ::testing::TestWithParam<AbbreviationToID> {};

TEST_P(AbbreviationTable, GivesTheIdentifierOfTheFirstExactMatch) {
    EXPECT_EQ(lngLanguageIDFromAbbrev(GetParam().abbreviation), GetParam().languageID);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, AbbreviationTable,
    ::testing::Values(
        AbbreviationToID{"TddTty", "ENX", 33801}, AbbreviationToID{"UnitedStates", "ENU", 1033},
        AbbreviationToID{"Germany", "DEU", 1031}, AbbreviationToID{"Liechtenstein", "DEC", 5127},
        AbbreviationToID{"SpainModernSort", "ESN", 3082},
        AbbreviationToID{"Honduras", "ESH", 18442}, AbbreviationToID{"PuertoRico", "ESU", 20490},
        AbbreviationToID{"Japanese", "JPN", 1041}, AbbreviationToID{"Nynorsk", "NON", 2068},
        AbbreviationToID{"HongKongAsTheProgramSpellsIt", "ZHT", 3076},
        AbbreviationToID{"LastRow", "ZHI", 4100},
        AbbreviationToID{"LowerCaseMatchesNothing", "deu", 1033},
        AbbreviationToID{"MixedCaseMatchesNothing", "Deu", 1033},
        AbbreviationToID{"KoreanHasNoRow", "KOR", 1033}, AbbreviationToID{"Empty", "", 1033},
        AbbreviationToID{"Longer", "DEUX", 1033}),
    [](const auto& info) { return info.param.name; });

TEST(AbbreviationTable, HasFortyFourRowsThatTheLocaleServiceKnows) {
    ASSERT_EQ(kProgramAbbreviations.size(), 44u);
    for (const std::string& abbreviation : kProgramAbbreviations) {
        std::int32_t languageID = lngLanguageIDFromAbbrev(abbreviation);
        if (abbreviation != "ENU") {
            EXPECT_NE(languageID, 1033) << abbreviation;
        }
        std::string back = strLanguageAbbrevFromID(languageID);
        // Windows spells Hong Kong "ZHH"; the program's table has "ZHT".
        EXPECT_EQ(back, abbreviation == "ZHT" ? "ZHH" : abbreviation) << languageID;
    }
}

struct IDToAbbreviation {
    std::string name;
    std::int32_t languageID;
    std::string abbreviation;
};

class LocaleAbbreviation : public ::testing::TestWithParam<IDToAbbreviation> {};

TEST_P(LocaleAbbreviation, IsWhatWindowsReports) {
    EXPECT_EQ(strLanguageAbbrevFromID(GetParam().languageID), GetParam().abbreviation);
}

INSTANTIATE_TEST_SUITE_P(
    Identifiers, LocaleAbbreviation,
    ::testing::Values(
        IDToAbbreviation{"TddTtyWithoutThePlatform", 33801, "ENX"},
        IDToAbbreviation{"English", 1033, "ENU"}, IDToAbbreviation{"German", 1031, "DEU"},
        IDToAbbreviation{"Japanese", 1041, "JPN"}, IDToAbbreviation{"Korean", 1042, "KOR"},
        IDToAbbreviation{"Russian", 1049, "RUS"}, IDToAbbreviation{"Polish", 1045, "PLK"},
        IDToAbbreviation{"Swedish", 1053, "SVE"}, IDToAbbreviation{"Danish", 1030, "DAN"},
        IDToAbbreviation{"Finnish", 1035, "FIN"}, IDToAbbreviation{"Czech", 1029, "CSY"},
        IDToAbbreviation{"Hungarian", 1038, "HUN"}, IDToAbbreviation{"Greek", 1032, "ELL"},
        IDToAbbreviation{"Turkish", 1055, "TRK"}, IDToAbbreviation{"Hebrew", 1037, "HEB"},
        IDToAbbreviation{"Arabic", 1025, "ARA"}, IDToAbbreviation{"ChineseHongKong", 3076, "ZHH"},
        IDToAbbreviation{"ChineseMacao", 5124, "ZHM"}, IDToAbbreviation{"Unknown", 0x0500, "ERR"},
        IDToAbbreviation{"Zero", 0, "ERR"}, IDToAbbreviation{"Negative", -1, "ERR"},
        IDToAbbreviation{"TddTtyWidenedWithSign", -31735, "ERR"}),
    [](const auto& info) { return info.param.name; });

TEST(LanguageName, TddTtyIsAnsweredWithoutThePlatform) {
    testing::ScopedLocale locale("de_DE.UTF-8");
    EXPECT_EQ(strLanguageNameFromID(33801), "English (TDD/TTY)");
    EXPECT_EQ(strLanguageNameFromAbbrev("ENX"), "English (TDD/TTY)");
}

struct NameCase {
    std::string name;
    const char* displayLocale;
    std::int32_t languageID;
    std::string displayName;
};

class LanguageDisplayName : public ::testing::TestWithParam<NameCase> {};

TEST_P(LanguageDisplayName, IsInTheUsersDisplayLanguage) {
    testing::ScopedLocale locale(GetParam().displayLocale);
    EXPECT_EQ(strLanguageNameFromID(GetParam().languageID), GetParam().displayName);
}

INSTANTIATE_TEST_SUITE_P(
    Identifiers, LanguageDisplayName,
    ::testing::Values(NameCase{"GermanInEnglish", "en_US.UTF-8", 1031, "German (Germany)"},
                      NameCase{"EnglishInEnglish", "en_US.UTF-8", 1033, "English (United States)"},
                      NameCase{"GermanInGerman", "de_DE.UTF-8", 1031, "Deutsch (Deutschland)"},
                      NameCase{"CLocaleIsEnglish", "C", 1041, "Japanese (Japan)"},
                      NameCase{"UnknownIdentifier", "en_US.UTF-8", 0x0500, "(error)"},
                      NameCase{"Zero", "en_US.UTF-8", 0, "(error)"},
                      NameCase{"BeyondSixteenBits", "en_US.UTF-8", 0x10407, "(error)"}),
    [](const auto& info) { return info.param.name; });

TEST(LanguageDisplayName, OfAnAbbreviationGoesThroughTheProgramsTable) {
    testing::ScopedLocale locale("en_US.UTF-8");
    EXPECT_EQ(strLanguageNameFromAbbrev("DEU"), "German (Germany)");
    EXPECT_EQ(strLanguageNameFromAbbrev("KOR"), "English (United States)");
}

struct LocaleCase {
    std::string name;
    std::string localeName;
    std::int32_t languageID;
};

class LocaleToIdentifier : public ::testing::TestWithParam<LocaleCase> {};

TEST_P(LocaleToIdentifier, GivesTheWindowsLanguage) {
    EXPECT_EQ(languageIDFromLocaleName(GetParam().localeName), GetParam().languageID);
}

INSTANTIATE_TEST_SUITE_P(
    Locales, LocaleToIdentifier,
    ::testing::Values(LocaleCase{"GermanGermany", "de_DE.UTF-8", 1031},
                      LocaleCase{"BareGerman", "de", 1031}, LocaleCase{"Austria", "de_AT", 3079},
                      LocaleCase{"ModifierDropped", "de_DE@euro", 1031},
                      LocaleCase{"Japanese", "ja_JP.UTF-8", 1041},
                      LocaleCase{"BareJapanese", "ja", 1041},
                      LocaleCase{"UnitedKingdom", "en_GB.UTF-8", 2057},
                      LocaleCase{"CanadianFrench", "fr_CA.ISO-8859-1", 3084},
                      LocaleCase{"Taiwan", "zh_TW.UTF-8", 1028},
                      LocaleCase{"PRC", "zh_CN.UTF-8", 2052}, LocaleCase{"Brazil", "pt_BR", 1046},
                      LocaleCase{"Korean", "ko_KR.UTF-8", 1042}, LocaleCase{"C", "C", 1033},
                      LocaleCase{"CUtf8", "C.UTF-8", 1033}, LocaleCase{"Posix", "POSIX", 1033},
                      LocaleCase{"Empty", "", 1033}, LocaleCase{"Unknown", "xx_YY", 1033},
                      LocaleCase{"NotALocaleName", "../../etc/passwd", 1033},
                      LocaleCase{"Overlong", std::string(500, 'a'), 1033}),
    [](const auto& info) { return info.param.name; });

struct PrecedenceCase {
    std::string name;
    const char* all;
    const char* messages;
    const char* lang;
    std::int32_t languageID;
};

class UserDefaultLanguage : public ::testing::TestWithParam<PrecedenceCase> {};

TEST_P(UserDefaultLanguage, ComesFromTheFirstLocaleVariableSet) {
    testing::ScopedLocale locale(GetParam().all, GetParam().messages, GetParam().lang);
    EXPECT_EQ(GetUserDefaultLangID(), GetParam().languageID);
}

INSTANTIATE_TEST_SUITE_P(
    Variables, UserDefaultLanguage,
    ::testing::Values(PrecedenceCase{"AllFirst", "ja_JP.UTF-8", "de_DE", "fr_FR", 1041},
                      PrecedenceCase{"MessagesSecond", nullptr, "de_DE", "fr_FR", 1031},
                      PrecedenceCase{"EmptyIsSkipped", "", "", "fr_FR.UTF-8", 1036},
                      PrecedenceCase{"NothingSet", nullptr, nullptr, nullptr, 1033}),
    [](const auto& info) { return info.param.name; });

} // namespace
} // namespace tambrel
