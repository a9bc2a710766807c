// Texts of our own, beyond the string table of 42 entries: their IDs, from 100 on, in the same
// language libraries and fetched by mymyLoadString like the others, and their arguments put in.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

namespace tambrel::texts {

enum : std::int32_t {
    kCsvFileLocation = 100,
    kInsideServerFolders = 101,
    kNeedsDisplay = 102,
    kWindowUsage = 103,
    kWindowPurpose = 104,
    kPrefixHelp = 105,
    kRootHelp = 106,
    kHelpHelp = 107,
    kVersionHelp = 108,
    kOptionsHeading = 109,
    kCliUsage = 110,
    kCliPurpose = 111,
    kGreetingsHelp = 112,
    kPromptsHelp = 113,
    kFormatHelp = 114,
    kSummaryHelp = 115,
    kLanguageHelp = 116,
    kExitStatusHeading = 117,
    kExitDone = 118,
    kExitSomeUnreadable = 119,
    kExitBadUsage = 120,
    kExitNoServer = 121,
    kExitOutputNotWritten = 122,
    kUnknownOption = 123,
    kUnexpectedArgument = 124,
    kTakesNoValue = 125,
    kGivenTwice = 126,
    kNeedsValue = 127,
    kNeedsNonEmptyValue = 128,
    kFormatChoice = 129,
    kOneListToOutput = 130,
    kSameFile = 131,
    kSummaryWithOutput = 132,
    kPrefixOrRoot = 133,
    kSeeHelp = 134,
    kUnknownLanguage = 135,
    kNoLibraryForLanguage = 136,
    kCannotWrite = 137,
    kCannotWriteOutput = 138,
    kServerRootFailed = 139,
    kWinePrefixFailed = 140,
    kRegistryValueFailed = 141,
    kNoRegistryValue = 142,
    kRegistryRootFailed = 143,
    kOneFileSummary = 144,
    kFilesSummary = 145,
    kFilesHeading = 146,
    kOutputHelp = 147,
    kCompareHelp = 148,
    kWithHelp = 149,
    kExpectHelp = 150,
    kCombineHelp = 151,
    kReportFormatHelp = 152,
    kExitDifferences = 153,
    kCombineNeedsDocuments = 154,
    kCombineAlone = 155,
    kWithNeedsCompare = 156,
    kWithoutScan = 157,
    kListFormats = 158,
    kDocumentFormats = 159,
    kOutputAlone = 160,
    kReportToOutput = 161,
    kDetailsHelp = 162,
    kProblemHeading = 163,
    kProblemUnreadable = 164,
    kProblemEmpty = 165,
    kProblemNotRiff = 166,
    kProblemRifx = 167,
    kProblemRf64 = 168,
    kProblemNotWave = 169,
    kProblemHeaderTruncated = 170,
    kProblemNoFormatChunk = 171,
    kProblemFormatChunkShort = 172,
    kProblemInvalidFormat = 173,
    kProblemNoData = 174,
    kProblemTruncated = 175,
    kProblemRiffLengthMismatch = 176,
    kChannelsColumn = 177,
    kBitsColumn = 178,
    kDurationColumn = 179,
    kFormatColumn = 180,
    kViewMenu = 181,
    kFindCommand = 182,
    kProblemFilesCommand = 183,
    kExportShownGreetings = 184,
    kExportShownPrompts = 185,
    kShownOfAll = 186,
    kFindPlaceholder = 187,
    kCloseFind = 188,
    kFindLabel = 189,
    kTotalsCommand = 190,
    kTotalsGroupColumn = 191,
    kTotalsFilesColumn = 192,
    kTotalsBytesColumn = 193,
    kTotalsShareColumn = 194,
    kTotalsCopy = 195,
    kTotalsClose = 196,
    kTotalsListColumn = 197,
};

inline constexpr std::int32_t kFirst = 100;
inline constexpr std::int32_t kEnd = 198;

// The English text of own text `id`, or nullopt for an ID outside kFirst..kEnd - 1.
std::optional<std::string_view> english(std::int32_t id);

// Text `id` in the current language with %1, %2, ... (up to %9) replaced by `arguments` in
// that order; a placeholder without an argument stays as it is.
std::string text(std::int32_t id, std::initializer_list<std::string_view> arguments = {});

} // namespace tambrel::texts
