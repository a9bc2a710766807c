#include "common/locale/locale_abbreviations.h"

#include <algorithm>
#include <array>

namespace tambrel {
namespace {

struct LocaleAbbreviation {
    std::int32_t languageID;
    std::string_view abbreviation;
};

// The values Windows reports for these identifiers, sorted by identifier for the binary
// search below. Identifiers missing here are unknown, as the platform's service fails for them.
constexpr std::array kLocaleAbbreviations = std::to_array<LocaleAbbreviation>({
    {1025, "ARA"},  {1026, "BGR"},  {1027, "CAT"},  {1028, "CHT"},  {1029, "CSY"},  {1030, "DAN"},
    {1031, "DEU"},  {1032, "ELL"},  {1033, "ENU"},  {1034, "ESP"},  {1035, "FIN"},  {1036, "FRA"},
    {1037, "HEB"},  {1038, "HUN"},  {1039, "ISL"},  {1040, "ITA"},  {1041, "JPN"},  {1042, "KOR"},
    {1043, "NLD"},  {1044, "NOR"},  {1045, "PLK"},  {1046, "PTB"},  {1048, "ROM"},  {1049, "RUS"},
    {1050, "HRV"},  {1051, "SKY"},  {1052, "SQI"},  {1053, "SVE"},  {1054, "THA"},  {1055, "TRK"},
    {1056, "URD"},  {1057, "IND"},  {1058, "UKR"},  {1059, "BEL"},  {1060, "SLV"},  {1061, "ETI"},
    {1062, "LVI"},  {1063, "LTH"},  {1065, "FAR"},  {1066, "VIT"},  {1067, "HYE"},  {1068, "AZE"},
    {1069, "EUQ"},  {1071, "MKI"},  {1078, "AFK"},  {1079, "KAT"},  {1080, "FOS"},  {1081, "HIN"},
    {1086, "MSL"},  {1087, "KKZ"},  {1089, "SWK"},  {1091, "UZB"},  {1092, "TTT"},  {1095, "GUJ"},
    {1097, "TAM"},  {1098, "TEL"},  {1099, "KAN"},  {1102, "MAR"},  {1110, "GLC"},  {2049, "ARI"},
    {2052, "CHS"},  {2055, "DES"},  {2057, "ENG"},  {2058, "ESM"},  {2060, "FRB"},  {2064, "ITS"},
    {2067, "NLB"},  {2068, "NON"},  {2070, "PTG"},  {2074, "SRL"},  {2077, "SVF"},  {2110, "MSB"},
    {3073, "ARE"},  {3076, "ZHH"},  {3079, "DEA"},  {3081, "ENA"},  {3082, "ESN"},  {3084, "FRC"},
    {3098, "SRB"},  {4097, "ARL"},  {4100, "ZHI"},  {4103, "DEL"},  {4105, "ENC"},  {4106, "ESG"},
    {4108, "FRS"},  {5121, "ARG"},  {5124, "ZHM"},  {5127, "DEC"},  {5129, "ENZ"},  {5130, "ESC"},
    {5132, "FRL"},  {6145, "ARM"},  {6153, "ENI"},  {6154, "ESA"},  {6156, "FRM"},  {7169, "ART"},
    {7177, "ENS"},  {7178, "ESD"},  {8193, "ARO"},  {8201, "ENJ"},  {8202, "ESV"},  {9217, "ARY"},
    {9225, "ENB"},  {9226, "ESO"},  {10241, "ARS"}, {10249, "ENL"}, {10250, "ESR"}, {11265, "ARJ"},
    {11273, "ENT"}, {11274, "ESS"}, {12289, "ARB"}, {12297, "ENW"}, {12298, "ESF"}, {13313, "ARK"},
    {13321, "ENP"}, {13322, "ESL"}, {14337, "ARU"}, {14346, "ESY"}, {15361, "ARH"}, {15370, "ESZ"},
    {16385, "ARQ"}, {16394, "ESB"}, {17418, "ESE"}, {18442, "ESH"}, {19466, "ESI"}, {20490, "ESU"},
});

static_assert(std::ranges::is_sorted(kLocaleAbbreviations, {}, &LocaleAbbreviation::languageID));

} // namespace

std::optional<std::string_view> windowsAbbreviatedLanguageName(std::int32_t languageID) {
    auto found = std::ranges::lower_bound(kLocaleAbbreviations, languageID, {},
                                          &LocaleAbbreviation::languageID);
    if (found == kLocaleAbbreviations.end() || found->languageID != languageID)
        return std::nullopt;
    return found->abbreviation;
}

} // namespace tambrel
