// The project's own reader of a library's string table against Windows' own: every shipped
// language library and the fixture libraries built here with windres, loaded with LoadLibraryExW
// as a data file and read with LoadStringW, give exactly the texts the own reader gives.
#include "localize/language_library.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace tambrel {
namespace {

// Every string ID a library can hold: 4096 blocks of 16.
constexpr std::uint32_t kLastStringID = 0xFFFF;

std::wstring widePath(const std::string& path) {
    std::wstring wide(path.begin(), path.end()); // the test paths are ASCII
    return wide;
}

// Compares every ID; returns how many IDs held text, so a test can tell it compared something.
int compareEveryString(const std::string& path) {
    const HMODULE module = ::LoadLibraryExW(
        widePath(path).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    EXPECT_NE(module, nullptr) << path << " error " << ::GetLastError();
    const std::int32_t handle = openLanguageLibrary(path);
    EXPECT_NE(handle, 0) << path;
    if (!module || !handle)
        return -1;
    // LoadStringW takes the language of the calling thread; the own reader is asked for it.
    const auto language = static_cast<std::int32_t>(::GetThreadUILanguage());
    int withText = 0;
    for (std::uint32_t id = 0; id <= kLastStringID; ++id) {
        const wchar_t* text = nullptr;
        // A buffer length of 0 hands out the resource's own text, of any length.
        const int length = ::LoadStringW(module, id, reinterpret_cast<LPWSTR>(&text), 0);
        const std::u16string windows = length > 0
                                           ? std::u16string(reinterpret_cast<const char16_t*>(text),
                                                            static_cast<std::size_t>(length))
                                           : std::u16string();
        const std::u16string own =
            loadLibraryString(handle, static_cast<std::int32_t>(id), language).value_or(u"");
        if (own != windows) {
            ADD_FAILURE() << path << ": string " << id << " differs";
            break;
        }
        withText += windows.empty() ? 0 : 1;
    }
    closeLanguageLibrary(handle);
    ::FreeLibrary(module);
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
