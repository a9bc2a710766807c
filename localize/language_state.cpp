#include "localize/language_state.h"

#include "common/result.h"
#include "common/user_dialogs.h"
#include "localize/language_library.h"
#include "localize/language_names.h"
#include "localize/library_files.h"
#include "localize/string_table.h"
#include "localize/text_encoding.h"
#include "platform/paths/user_folders.h"
#include "platform/text/user_language.h"

#include <array>
#include <exception>
#include <optional>

namespace tambrel {

std::int32_t CurrentLanguageID = 0;
std::int32_t hLanguageModule = 0;
std::vector<std::string> LanguageAbbrevs;

namespace {

constexpr std::string_view kInitalizeLanguagesLead = "Error in InitalizeLanguages: ";
constexpr std::string_view kLoadStringLead = "error in mymyLoadString: ";
// The text buffer holds 1200 characters including its terminator.
constexpr std::size_t kLongestText = 1199;
// The error number the program's own table raises for an ID it does not hold.
constexpr int kResourceNotFound = 326;

std::function<void()> loadedFormsFontPass;
std::optional<ProgramLocation> testLocation;

ProgramLocation resolveProgramLocation() {
    platform::ProgramLocation location = platform::runningProgramLocation();
    return ProgramLocation{std::move(location.folder), std::move(location.executableName)};
}

// The trap of InitalizeLanguages: a failed step is reported and abandoned, the next one runs.
void reportStepFailure(const Failure& failure, std::string_view concerned = {}) {
    reportMessage(std::string(kInitalizeLanguagesLead) + failureText(failure, concerned));
}

void openLibraryOfCurrentLanguage() {
    const ProgramLocation& location = programLocation();
    std::string abbreviation = strLanguageAbbrevFromID(CurrentLanguageID);
    std::string fileName = location.executableName + "_" + abbreviation + ".dll";
    // A missing or unusable library is no failure: the texts are then English.
    std::optional<std::string> path = findFileIgnoringCase(location.folder, fileName);
    hLanguageModule = path ? openLanguageLibrary(*path) : 0;
}

void listLibraries() {
    LanguageAbbrevs.clear();
    const ProgramLocation& location = programLocation();
    Result<std::vector<std::string>> names = listFileNames(location.folder);
    if (!names) {
        reportStepFailure(names.failure(), location.folder);
        return;
    }
    for (const std::string& name : *names) {
        if (std::optional<std::string> abbreviation =
                libraryAbbreviation(name, location.executableName))
            LanguageAbbrevs.push_back(std::move(*abbreviation));
    }
}

void runLoadedFormsFontPass() {
    if (!loadedFormsFontPass)
        return;
    try {
        loadedFormsFontPass();
    } catch (const std::exception& error) {
        reportStepFailure(Failure{0, error.what()});
    }
}

} // namespace

void InitalizeLanguages() {
    if (CurrentLanguageID == 0)
        CurrentLanguageID = GetUserDefaultLangID();
    if (hLanguageModule > 0) {
        closeLanguageLibrary(hLanguageModule);
        hLanguageModule = 0;
    }
    openLibraryOfCurrentLanguage();
    listLibraries();
    runLoadedFormsFontPass();
}

std::string mymyLoadString(std::int32_t id) {
    std::optional<std::u16string> text;
    if (hLanguageModule != 0)
        text = loadLibraryString(hLanguageModule, id, CurrentLanguageID);
    if (text && !text->empty()) {
        if (text->size() > kLongestText)
            text->resize(kLongestText);
        return utf8FromUtf16(*text);
    }
    std::optional<std::string_view> english = builtInString(id);
    if (!english) {
        Failure notFound{kResourceNotFound, "Resource not found"};
        reportMessage(std::string(kLoadStringLead) + notFound.description);
        return {};
    }
    return std::string(*english);
}

void setLoadedFormsFontPass(std::function<void()> pass) {
    loadedFormsFontPass = std::move(pass);
}

std::int32_t GetUserDefaultLangID() {
    return platform::userDefaultLanguageID();
}

const ProgramLocation& programLocation() {
    static const ProgramLocation resolved = resolveProgramLocation();
    return testLocation ? *testLocation : resolved;
}

void setProgramLocation(ProgramLocation location) {
    if (location.folder.empty())
        testLocation.reset();
    else
        testLocation = std::move(location);
}

void resetLanguageState() {
    if (hLanguageModule > 0)
        closeLanguageLibrary(hLanguageModule);
    CurrentLanguageID = 0;
    hLanguageModule = 0;
    LanguageAbbrevs.clear();
}

} // namespace tambrel
