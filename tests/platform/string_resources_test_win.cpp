// The project's own reader of a library's string table against Windows' own: every shipped
// language library and the fixture libraries built here with windres, loaded with LoadLibraryExW
// as a data file and read with LoadStringW, give exactly the texts the own reader gives.
#include "localize/language_library.h"
#include "platform/testing/system_string_table.h"

#include <gtest/gtest.h>

namespace tambrel {
namespace {

// Every string ID a library can hold: 4096 blocks of 16.
constexpr std::uint32_t kLastStringID = 0xFFFF;

// Compares every ID; returns how many IDs held text, so a test can tell it compared something.
int compareEveryString(const std::string& path) {
    unsigned long error = 0;
    const std::optional<testing::SystemStringTable> system =
        testing::SystemStringTable::load(path, error);
    EXPECT_TRUE(system) << path << " error " << error;
    const std::int32_t handle = openLanguageLibrary(path);
    EXPECT_NE(handle, 0) << path;
    if (!system || !handle)
        return -1;
    // LoadStringW takes the language of the calling thread; the own reader is asked for it.
    const std::int32_t language = testing::SystemStringTable::threadLanguage();
    int withText = 0;
    for (std::uint32_t id = 0; id <= kLastStringID; ++id) {
        const std::u16string windows = system->text(id);
        const std::u16string own =
            loadLibraryString(handle, static_cast<std::int32_t>(id), language).value_or(u"");
        if (own != windows) {
            ADD_FAILURE() << path << ": string " << id << " differs";
            break;
        }
        withText += windows.empty() ? 0 : 1;
    }
    closeLanguageLibrary(handle);
    return withText;
}

struct LibraryCase {
    const char* name;
    std::string path;
};

class BuiltLibraries : public ::testing::TestWithParam<LibraryCase> {};

TEST_P(BuiltLibraries, GiveWhatLoadStringGives) {
    EXPECT_GT(compareEveryString(GetParam().path), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Libraries, BuiltLibraries,
    ::testing::Values(LibraryCase{"ShippedGerman", TAMBREL_SHIPPED_LIBRARIES "/Tambrel_DEU.dll"},
                      LibraryCase{"ShippedJapanese", TAMBREL_SHIPPED_LIBRARIES "/Tambrel_JPN.dll"},
                      LibraryCase{"Partial", TAMBREL_FIXTURE_LIBRARIES "/partial.dll"},
                      LibraryCase{"EmptyEntry", TAMBREL_FIXTURE_LIBRARIES "/empty_entry.dll"},
                      LibraryCase{"Pe32", TAMBREL_FIXTURE_LIBRARIES "/pe32.dll"},
                      LibraryCase{"LongText", TAMBREL_FIXTURE_LIBRARIES "/long_text.dll"}),
    [](const ::testing::TestParamInfo<LibraryCase>& info) { return info.param.name; });

} // namespace
} // namespace tambrel
