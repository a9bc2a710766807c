// A program folder of a test's own: the shipped language libraries and help pages copied in
// under the names a case needs, the program located there, and the language state reset.
#pragma once

#include "localize/language_state.h"
#include "tests/support/temporary_folder.h"

#include <filesystem>
#include <string>

namespace tambrel::testing {

class ProgramFolder {
public:
    ProgramFolder() {
        resetLanguageState();
        setProgramLocation({folder_.path().string(), "tambrel"});
    }
    ~ProgramFolder() {
        resetLanguageState();
        setProgramLocation({});
    }
    ProgramFolder(const ProgramFolder&) = delete;
    ProgramFolder& operator=(const ProgramFolder&) = delete;

    // Copies a shipped library ("Tambrel_DEU.dll") in as `name`.
    void addLibrary(const std::string& shipped, const std::string& name) const {
        std::filesystem::copy_file(std::filesystem::path(TAMBREL_SHIPPED_LIBRARIES) / shipped,
                                   folder_ / name);
    }
    // Copies a shipped help page ("Tambrel_ENU.htm") in as `name`.
    void addHelpPage(const std::string& shipped, const std::string& name) const {
        std::filesystem::copy_file(std::filesystem::path(TAMBREL_HELP_PAGES) / shipped,
                                   folder_ / name);
    }
    std::string path() const { return folder_.path().string(); }

    // Puts `languageID` in force as the program does at start.
    static void startIn(std::int32_t languageID) {
        CurrentLanguageID = languageID;
        InitalizeLanguages();
    }

private:
    TemporaryFolder folder_;
};

} // namespace tambrel::testing
