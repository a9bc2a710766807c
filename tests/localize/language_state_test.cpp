// Choosing the language, opening its library and listing the libraries beside the program,
// and the texts mymyLoadString hands out with and without a library.
#include "localize/language_library.h"
#include "localize/language_state.h"
#include "localize/library_files.h"
#include "localize/own_texts.h"
#include "localize/string_table.h"
#include "tests/localize/scoped_locale.h"
#include "tests/support/recording_dialogs.h"
#include "tests/support/temporary_folder.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>

namespace tambrel {
namespace {

std::string fixturePath(std::string_view name) {
    return std::string(TAMBREL_FIXTURE_LIBRARIES) + "/" + std::string(name);
}
std::string shippedPath(std::string_view name) {
    return std::string(TAMBREL_SHIPPED_LIBRARIES) + "/" + std::string(name);
}

class LanguageState : public ::testing::Test {
protected:
    LanguageState() : locale_("de_DE.UTF-8") {
        resetLanguageState();
        setProgramLocation({folder.path().string(), "tambrel"});
    }
    ~LanguageState() override {
        resetLanguageState();
        setLoadedFormsFontPass({});
        EXPECT_EQ(openLanguageLibraryCount(), 0u);
    }

    void place(const std::string& source, std::string_view name) {
        std::filesystem::copy_file(source, folder / name);
    }

    testing::TemporaryFolder folder;
    testing::RecordingDialogs dialogs;

private:
    testing::ScopedLocale locale_;
};

TEST_F(LanguageState, WithoutLibraryEveryTextIsEnglish) {
    InitalizeLanguages();
    EXPECT_EQ(CurrentLanguageID, 1031);
    EXPECT_EQ(hLanguageModule, 0);
    EXPECT_TRUE(LanguageAbbrevs.empty());
    for (std::int32_t id = 0; id < kStringTableSize; ++id)
        EXPECT_EQ(mymyLoadString(id), *builtInString(id)) << id;
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(LanguageState, LanguageWithoutItsLibraryIsEnglishAndSilent) {
    place(fixturePath("partial.dll"), "tambrel_DEU.dll");
    CurrentLanguageID = 1036;
    InitalizeLanguages();
    EXPECT_EQ(hLanguageModule, 0);
    EXPECT_EQ(mymyLoadString(1), "About");
    EXPECT_EQ(LanguageAbbrevs, std::vector<std::string>{"DEU"});
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(LanguageState, PartialLibraryFallsBackToEnglishForWhatItLacks) {
    place(fixturePath("partial.dll"), "Tambrel_DEU.dll");
    InitalizeLanguages();
    EXPECT_GT(hLanguageModule, 0);
    EXPECT_EQ(mymyLoadString(1), "Info");
    EXPECT_EQ(mymyLoadString(17), "Datei");
    EXPECT_EQ(mymyLoadString(40), "Kodek");
    EXPECT_EQ(mymyLoadString(2), "Are you sure you want to over write this file?");
    EXPECT_EQ(mymyLoadString(41), "Error in InitalizeLanguages: ");
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(LanguageState, EmptyEntryGivesTheEnglishText) {
    place(fixturePath("empty_entry.dll"), "Tambrel_DEU.dll");
    InitalizeLanguages();
    ASSERT_GT(hLanguageModule, 0);
    EXPECT_EQ(mymyLoadString(1), "About");
    EXPECT_EQ(mymyLoadString(13), "Beenden");
}

TEST_F(LanguageState, TextsComeInTheLanguageInForce) {
    place(fixturePath("two_languages.dll"), "Tambrel_FRA.dll");
    CurrentLanguageID = 1036;
    InitalizeLanguages();
    ASSERT_GT(hLanguageModule, 0);
    EXPECT_EQ(mymyLoadString(1), "À propos");
    EXPECT_EQ(mymyLoadString(17), "Fichier");
}

TEST_F(LanguageState, OverlongTextIsCutTo1199Characters) {
    place(fixturePath("long_text.dll"), "Tambrel_DEU.dll");
    InitalizeLanguages();
    ASSERT_GT(hLanguageModule, 0);
    EXPECT_EQ(mymyLoadString(21), std::string(1199, 'a'));
}

TEST_F(LanguageState, LibraryIsFoundWhateverTheCaseOfItsName) {
    place(fixturePath("partial.dll"), "TAMBREL_deu.DLL");
    InitalizeLanguages();
    EXPECT_GT(hLanguageModule, 0);
    EXPECT_EQ(mymyLoadString(1), "Info");
    EXPECT_EQ(LanguageAbbrevs, std::vector<std::string>{"deu"});
}

TEST_F(LanguageState, IdentifierNobodyHoldsReportsAndGivesEmptyText) {
    place(fixturePath("partial.dll"), "Tambrel_DEU.dll");
    for (bool withLibrary : {false, true}) {
        resetLanguageState();
        if (withLibrary)
            InitalizeLanguages();
        dialogs.messages.clear();
        EXPECT_EQ(mymyLoadString(42), "");
        EXPECT_EQ(mymyLoadString(-1), "");
        ASSERT_EQ(dialogs.messages.size(), 2u);
        for (const auto& message : dialogs.messages) {
            EXPECT_EQ(message.text, "error in mymyLoadString: Resource not found");
            EXPECT_EQ(message.title, "Tambrel");
            EXPECT_EQ(message.buttons, MessageButtons::Ok);
        }
    }
}

// The library looked for is named after the locale service's abbreviation of the language in
// force, whatever the program's own table says.
struct LibraryNameCase {
    std::string name;
    std::int32_t languageID;
    std::string fileName;
};

class LibraryFileName : public LanguageState,
                        public ::testing::WithParamInterface<LibraryNameCase> {};

TEST_P(LibraryFileName, IsLookedForUnderTheAbbreviationOfTheLanguage) {
    place(fixturePath("partial.dll"), GetParam().fileName);
    place(fixturePath("empty_entry.dll"), "Tambrel_ENU.dll");
    CurrentLanguageID = GetParam().languageID;
    InitalizeLanguages();
    EXPECT_GT(hLanguageModule, 0);
    EXPECT_EQ(mymyLoadString(1), "Info"); // from the library placed, not the other one
}

INSTANTIATE_TEST_SUITE_P(
    Languages, LibraryFileName,
    ::testing::Values(LibraryNameCase{"TddTty", 33801, "tambrel_ENX.dll"},
                      LibraryNameCase{"UnknownToTheLocaleService", 0x0500, "tambrel_ERR.dll"},
                      LibraryNameCase{"HongKongAsWindowsSpellsIt", 3076, "tambrel_ZHH.dll"},
                      LibraryNameCase{"Korean", 1042, "tambrel_KOR.dll"}),
    [](const auto& info) { return info.param.name; });

TEST_F(LanguageState, ListsLibrariesInTheOrderOfTheListing) {
    for (const char* name :
         {"Tambrel_DEU.dll", "tambrel_jpn.DLL", "Tambrel_GERMAN.dll", "Tambrel_X.dll",
          "Tambrel_DEU.txt", "Other_FRA.dll", "TambrelITA.dll", "tambrel"})
        folder.write(name, "not opened, only listed");
    std::filesystem::create_directory(folder / "Tambrel_FOL.dll");
    std::filesystem::create_symlink(folder / "Tambrel_DEU.dll", folder / "Tambrel_LNK.dll");
    std::filesystem::create_symlink(folder / "missing", folder / "Tambrel_BRK.dll");

    InitalizeLanguages();

    std::vector<std::string> expected;
    Result<std::vector<std::string>> names = listFileNames(folder.path().string());
    ASSERT_TRUE(names);
    for (const std::string& name : *names) {
        for (auto [file, abbreviation] :
             {std::pair{"Tambrel_DEU.dll", "DEU"}, std::pair{"tambrel_jpn.DLL", "jpn"},
              std::pair{"Tambrel_GERMAN.dll", "MAN"}, std::pair{"Tambrel_X.dll", "l_X"},
              std::pair{"Tambrel_LNK.dll", "LNK"}, std::pair{"Tambrel_BRK.dll", "BRK"}})
            if (name == file)
                expected.push_back(abbreviation);
    }
    // A link that leads nowhere is listed as Windows lists it; opening it then gives English.
    EXPECT_EQ(expected.size(), 6u);
    EXPECT_EQ(LanguageAbbrevs, expected);
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(LanguageState, RunningTwiceReopensTheSameLibraryAndRebuildsTheSameList) {
    place(fixturePath("partial.dll"), "Tambrel_DEU.dll");
    place(fixturePath("partial.dll"), "Tambrel_FRA.dll");
    InitalizeLanguages();
    std::vector<std::string> first = LanguageAbbrevs;
    InitalizeLanguages();
    EXPECT_GT(hLanguageModule, 0);
    EXPECT_EQ(openLanguageLibraryCount(), 1u); // the first one was closed
    EXPECT_EQ(LanguageAbbrevs, first);
    EXPECT_EQ(LanguageAbbrevs.size(), 2u);
    EXPECT_EQ(mymyLoadString(1), "Info");
}

TEST_F(LanguageState, KeepsALanguageChosenBefore) {
    CurrentLanguageID = 1041;
    InitalizeLanguages();
    EXPECT_EQ(CurrentLanguageID, 1041);
}

TEST_F(LanguageState, FontPassRunsLastOncePerCall) {
    place(fixturePath("partial.dll"), "Tambrel_DEU.dll");
    int passes = 0;
    setLoadedFormsFontPass([&] {
        ++passes;
        EXPECT_EQ(LanguageAbbrevs.size(), 1u); // the list is rebuilt before
        EXPECT_GT(hLanguageModule, 0);
    });
    InitalizeLanguages();
    InitalizeLanguages();
    EXPECT_EQ(passes, 2);
}

TEST_F(LanguageState, FailedListingIsReportedAndTheNextStepRuns) {
    setProgramLocation({(folder / "gone").string(), "tambrel"});
    bool fontPassRan = false;
    setLoadedFormsFontPass([&] { fontPassRan = true; });
    InitalizeLanguages();
    EXPECT_EQ(dialogs.texts(),
              std::vector<std::string>{"Error in InitalizeLanguages: No such file or directory: " +
                                       (folder / "gone").string()});
    EXPECT_EQ(dialogs.messages.front().title, "Tambrel");
    EXPECT_TRUE(fontPassRan);
    EXPECT_TRUE(LanguageAbbrevs.empty());
}

TEST_F(LanguageState, ProgramLocationIsResolvedFromTheRunningExecutable) {
    setProgramLocation({}); // back to the resolved location
    std::filesystem::path executable = std::filesystem::canonical("/proc/self/exe");
    EXPECT_EQ(programLocation().folder, executable.parent_path().string());
    EXPECT_EQ(programLocation().executableName, "localize_tests");
}

// The shipped libraries: every string translated, and blanks at either end kept wherever the
// English has them, because numbers and descriptions are appended to those texts.
struct ShippedCase {
    std::string name;
    std::string fileName;
    std::int32_t languageID;
    std::string overwriteQuestion; // string 2, which carries non-ASCII text in both
};

class ShippedLibrary : public LanguageState, public ::testing::WithParamInterface<ShippedCase> {};

TEST_P(ShippedLibrary, TranslatesEveryStringAndKeepsItsOuterBlanks) {
    place(shippedPath(GetParam().fileName), GetParam().fileName);
    CurrentLanguageID = GetParam().languageID;
    InitalizeLanguages();
    ASSERT_GT(hLanguageModule, 0);
    EXPECT_EQ(LanguageAbbrevs, std::vector<std::string>{GetParam().fileName.substr(8, 3)});
    std::size_t differing = 0;
    for (std::int32_t id = 0; id < kStringTableSize; ++id) {
        std::string english(*builtInString(id));
        std::optional<std::u16string> own =
            loadLibraryString(hLanguageModule, id, CurrentLanguageID);
        ASSERT_TRUE(own && !own->empty()) << "string " << id << " is missing";
        std::string text = mymyLoadString(id);
        EXPECT_EQ(text.front() == ' ', english.front() == ' ') << id;
        EXPECT_EQ(text.back() == ' ', english.back() == ' ') << id;
        if (text != english)
            ++differing;
    }
    EXPECT_EQ(mymyLoadString(5), "Tambrel");
    EXPECT_EQ(mymyLoadString(2), GetParam().overwriteQuestion);
    EXPECT_GE(differing, 30u);

    // Our own texts: each translated, with the same arguments as its English.
    const auto placeholders = [](std::string_view text) {
        std::string found;
        for (std::size_t at = text.find('%'); at != std::string_view::npos && at + 1 < text.size();
             at = text.find('%', at + 1))
            found.push_back(text[at + 1]);
        std::sort(found.begin(), found.end());
        return found;
    };
    std::vector<std::int32_t> ownIDs;
    for (std::int32_t id = texts::kFirst; id < texts::kEnd; ++id)
        ownIDs.push_back(id);
    for (std::int32_t id : ownIDs) {
        const std::string english(*builtInString(id));
        std::optional<std::u16string> own =
            loadLibraryString(hLanguageModule, id, CurrentLanguageID);
        ASSERT_TRUE(own && !own->empty()) << "own text " << id << " is missing";
        const std::string text = mymyLoadString(id);
        EXPECT_NE(text, english) << id;
        EXPECT_EQ(placeholders(text), placeholders(english)) << id;
    }
}

// A library made before our own texts existed (or someone else's) lacks them: those IDs, and
// only those, come in English.
TEST_F(LanguageState, OwnTextsMissingFromALibraryComeInEnglish) {
    place(fixturePath("partial.dll"), "tambrel_DEU.dll");
    CurrentLanguageID = 1031;
    InitalizeLanguages();
    ASSERT_GT(hLanguageModule, 0);
    EXPECT_EQ(mymyLoadString(1), "Info");
    EXPECT_EQ(texts::text(texts::kCsvFileLocation), "CSV File Location");
    EXPECT_EQ(texts::text(texts::kCannotWrite, {"/x.csv", "Is a directory"}),
              "cannot write /x.csv: Is a directory");
    EXPECT_EQ(texts::text(texts::kRegistryValueFailed, {"V", "system.reg", "%2"}),
              "registry value V in system.reg: %2");
    EXPECT_TRUE(dialogs.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Libraries, ShippedLibrary,
    ::testing::Values(ShippedCase{"German", "Tambrel_DEU.dll", 1031,
                                  "Möchten Sie diese Datei wirklich überschreiben?"},
                      ShippedCase{"Japanese", "Tambrel_JPN.dll", 1041,
                                  "このファイルを上書きしてもよろしいですか?"}),
    [](const auto& info) { return info.param.name; });

struct AbbreviationCase {
    std::string name;
    std::string fileName;
    std::optional<std::string> abbreviation;
};

class ListingRule : public ::testing::TestWithParam<AbbreviationCase> {};

TEST_P(ListingRule, TellsLibrariesFromOtherFiles) {
    EXPECT_EQ(libraryAbbreviation(GetParam().fileName, "tambrel"), GetParam().abbreviation);
}

INSTANTIATE_TEST_SUITE_P(
    Names, ListingRule,
    ::testing::Values(AbbreviationCase{"Plain", "tambrel_DEU.dll", "DEU"},
                      AbbreviationCase{"PrefixCaseBlind", "TAMBREL_deu.dll", "deu"},
                      AbbreviationCase{"SuffixCaseBlind", "Tambrel_DEU.DLL", "DEU"},
                      AbbreviationCase{"LongAbbreviation", "Tambrel_GERMAN.dll", "MAN"},
                      AbbreviationCase{"ShortAbbreviation", "Tambrel_X.dll", "l_X"},
                      AbbreviationCase{"SuffixWithoutDot", "Tambrel_FRAxDLL", "FRA"},
                      AbbreviationCase{"NotALibrary", "Tambrel_DEU.txt", std::nullopt},
                      AbbreviationCase{"NoUnderscore", "TambrelDEU.dll", std::nullopt},
                      AbbreviationCase{"OtherProgram", "Other_DEU.dll", std::nullopt},
                      AbbreviationCase{"PrefixOnly", "tambrel_", std::nullopt},
                      AbbreviationCase{"Empty", "", std::nullopt},
                      AbbreviationCase{"AbbreviationInUtf8", "tambrel_ÄÖÜ.dll", "ÄÖÜ"}),
    [](const auto& info) { return info.param.name; });

} // namespace
} // namespace tambrel
