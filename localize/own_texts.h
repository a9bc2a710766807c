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
};

inline constexpr std::int32_t kFirst = 100;
inline constexpr std::int32_t kEnd = 164;

// The totals window's texts, a block of their own.
enum : std::int32_t {
    kTotalsCommand = 200,
    kTotalsViewMenu = 201,
    kTotalsGroupColumn = 202,
    kTotalsFilesColumn = 203,
    kTotalsBytesColumn = 204,
    kTotalsShareColumn = 205,
    kTotalsCopy = 206,
    kTotalsClose = 207,
    kTotalsListColumn = 208,
};
inline constexpr std::int32_t kTotalsFirst = 200;
inline constexpr std::int32_t kTotalsEnd = 209;

// The English text of own text `id`, or nullopt for an ID outside kFirst..kEnd - 1 and
// kTotalsFirst..kTotalsEnd - 1.
std::optional<std::string_view> english(std::int32_t id);

// Text `id` in the current language with %1, %2, ... (up to %9) replaced by `arguments` in
// that order; a placeholder without an argument stays as it is.
std::string text(std::int32_t id, std::initializer_list<std::string_view> arguments = {});

} // namespace tambrel::texts
