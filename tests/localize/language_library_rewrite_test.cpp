// A language library changed on disk while the program runs: overwritten in place, cut short,
// replaced by a rename or removed. The library is read whole when it is opened, so the texts
// stay those of the file as it was then; opening it again takes the file as it is now, and a
// damaged file then gives English texts, never garbage.
#include "localize/language_library.h"
#include "localize/language_state.h"
#include "localize/string_table.h"
#include "tests/localize/pe_image_builder.h"
#include "tests/localize/scoped_locale.h"
#include "tests/support/recording_dialogs.h"
#include "tests/support/temporary_folder.h"

#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>

namespace tambrel {
namespace {

namespace fs = std::filesystem;

constexpr std::int32_t kGerman = 1031;
// Texts the libraries hold (1, 13, 17, 40) and one they both lack (2).
const std::int32_t kIds[] = {1, 13, 17, 40, 2};

std::vector<std::uint8_t> libraryImage(const std::vector<std::u16string>& texts) {
    std::vector<std::u16string> first(16), second(16), third(16);
    first[1] = texts[0];
    first[13] = texts[1];
    second[1] = texts[2]; // 17
    third[8] = texts[3];  // 40
    return testing::buildStringImage(
               {{1, kGerman, first}, {2, kGerman, second}, {3, kGerman, third}})
        .bytes;
}

// The library loaded first, and a larger one that takes its place: overwritten in place, the
// file then holds exactly the second one.
const std::vector<std::uint8_t> kFirst = libraryImage({u"Info", u"Beenden", u"Datei", u"Kodek"});
const std::vector<std::uint8_t> kSecond =
    libraryImage({u"\u00dcber dieses Programm", u"Programm schlie\u00dfen", u"Ablage",
                  u"Kompressionsverfahren"});

std::string englishText(std::int32_t id) {
    return std::string(*builtInString(id));
}

const std::vector<std::string> kFirstTexts = {"Info", "Beenden", "Datei", "Kodek", englishText(2)};
const std::vector<std::string> kSecondTexts = {"\xC3\x9C"
                                               "ber dieses Programm",
                                               "Programm schlie\xC3\x9F"
                                               "en",
                                               "Ablage", "Kompressionsverfahren", englishText(2)};

std::vector<std::string> englishTexts() {
    std::vector<std::string> texts;
    for (std::int32_t id : kIds)
        texts.push_back(englishText(id));
    return texts;
}

enum class Cut { No, First };

// Written from its first byte on, in place: the file keeps its identity and, unless cut first,
// whatever of its old bytes lies beyond the new ones.
void writeBytes(const fs::path& path, const std::vector<std::uint8_t>& bytes, Cut cut) {
    std::ofstream out(path, cut == Cut::First ? std::ios::binary | std::ios::trunc
                                              : std::ios::binary | std::ios::in | std::ios::out);
    ASSERT_TRUE(out);
    ASSERT_TRUE(out.write(reinterpret_cast<const char*>(bytes.data()),
                          static_cast<std::streamsize>(bytes.size())));
}

// What opening the library again gives after the change.
enum class Reopened { Second, English, AnyWholeText };

struct LibraryChange {
    const char* name;
    std::function<void(const fs::path& library)> change;
    Reopened reopened;
};

const LibraryChange kChanges[] = {
    {"OverwrittenInPlace", [](const fs::path& library) { writeBytes(library, kSecond, Cut::No); },
     Reopened::Second},
    // The front of the second library over the first: headers of one, tables of the other.
    {"HalfOverwrittenInPlace",
     [](const fs::path& library) {
         writeBytes(library, {kSecond.begin(), kSecond.begin() + kSecond.size() / 2}, Cut::No);
     },
     Reopened::AnyWholeText},
    {"CutToHalf", [](const fs::path& library) { fs::resize_file(library, kFirst.size() / 2); },
     Reopened::English},
    {"CutToNothing", [](const fs::path& library) { fs::resize_file(library, 0); },
     Reopened::English},
    {"CutAndRewrittenWithGarbage",
     [](const fs::path& library) {
         writeBytes(library, std::vector<std::uint8_t>(kFirst.size(), 0xA5), Cut::First);
     },
     Reopened::English},
    {"ReplacedByRename",
     [](const fs::path& library) {
         const fs::path staging = library.parent_path() / "staging.tmp";
         writeBytes(staging, kSecond, Cut::First);
         fs::rename(staging, library);
     },
     Reopened::Second},
    {"Removed", [](const fs::path& library) { fs::remove(library); }, Reopened::English},
};

void PrintTo(const LibraryChange& change, std::ostream* out) {
    *out << change.name;
}

class LibraryChangedOnDisk : public ::testing::TestWithParam<LibraryChange> {
protected:
    LibraryChangedOnDisk() : locale_("de_DE.UTF-8") {
        resetLanguageState();
        setProgramLocation({folder.path().string(), "tambrel"});
    }
    ~LibraryChangedOnDisk() override {
        resetLanguageState();
        setProgramLocation({});
        EXPECT_EQ(openLanguageLibraryCount(), 0u);
    }
    static std::vector<std::string> currentTexts() {
        std::vector<std::string> texts;
        for (std::int32_t id : kIds)
            texts.push_back(mymyLoadString(id));
        return texts;
    }

    testing::TemporaryFolder folder;
    testing::RecordingDialogs dialogs;

private:
    testing::ScopedLocale locale_;
};

TEST_P(LibraryChangedOnDisk, KeepsTheTextsAsLoadedUntilItIsOpenedAgain) {
    const fs::path library = folder / "tambrel_DEU.dll";
    writeBytes(library, kFirst, Cut::First);
    InitalizeLanguages();
    ASSERT_GT(hLanguageModule, 0);
    ASSERT_EQ(currentTexts(), kFirstTexts);

    ASSERT_NO_FATAL_FAILURE(GetParam().change(library));
    EXPECT_EQ(currentTexts(), kFirstTexts);
    EXPECT_EQ(currentTexts(), kFirstTexts) << "a second reading differs";

    // Opening it again sees the file as it now is.
    InitalizeLanguages();
    const std::vector<std::string> reopened = currentTexts();
    switch (GetParam().reopened) {
    case Reopened::Second:
        EXPECT_EQ(reopened, kSecondTexts);
        break;
    case Reopened::English:
        EXPECT_EQ(hLanguageModule, 0);
        EXPECT_EQ(reopened, englishTexts());
        break;
    case Reopened::AnyWholeText:
        for (std::size_t i = 0; i < reopened.size(); ++i) {
            const std::string& text = reopened[i];
            EXPECT_TRUE(text == kFirstTexts[i] || text == kSecondTexts[i] ||
                        text == englishText(kIds[i]))
                << "string " << kIds[i] << " is \"" << text << "\"";
        }
        break;
    }
    EXPECT_TRUE(dialogs.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(Changes, LibraryChangedOnDisk, ::testing::ValuesIn(kChanges),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace tambrel
