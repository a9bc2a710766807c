// Puts a language in force for one test: a program folder of its own (with the German library
// copied in when asked), the language identifier, and InitalizeLanguages; undone at the end.
#pragma once

#include "localize/language_state.h"
#include "tests/support/temporary_folder.h"

#include <filesystem>

namespace tambrel::testing {

enum class GermanLibrary { Absent, Present };

class LanguageScope {
public:
    LanguageScope(std::int32_t languageID, GermanLibrary library = GermanLibrary::Absent) {
        resetLanguageState();
        if (library == GermanLibrary::Present)
            std::filesystem::copy_file(std::filesystem::path(TAMBREL_SHIPPED_LIBRARIES) /
                                           "Tambrel_DEU.dll",
                                       folder_ / "Tambrel_DEU.dll");
        setProgramLocation({folder_.path().string(), "tambrel"});
        CurrentLanguageID = languageID;
        InitalizeLanguages();
    }
    ~LanguageScope() {
        resetLanguageState();
        setProgramLocation({});
    }
    LanguageScope(const LanguageScope&) = delete;
    LanguageScope& operator=(const LanguageScope&) = delete;

    // Switches as the About box does: the new language, then InitalizeLanguages.
    void switchTo(std::int32_t languageID) {
        CurrentLanguageID = languageID;
        InitalizeLanguages();
    }

private:
    TemporaryFolder folder_;
};

} // namespace tambrel::testing
