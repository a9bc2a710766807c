// The language in force and its library (modLocalize): which language the texts come in, the
// library that supplies them, and which libraries lie beside the program.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace tambrel {

// Windows language identifier in force; 0 until first chosen.
extern std::int32_t CurrentLanguageID;
// Handle of the open language library (one of our own, not an OS handle); 0 when none is open.
extern std::int32_t hLanguageModule;
// Abbreviations of the libraries found beside the program, in listing order.
extern std::vector<std::string> LanguageAbbrevs;

// Selects the language, opens its library and lists the libraries present, then applies the
// language's fonts to every loaded form through the hook below.
void InitalizeLanguages();

// The text of string `id` in the current language, or the built-in English text.
std::string mymyLoadString(std::int32_t id);

// The font pass over loaded forms lives with the forms (Qt); the core only calls it.
void setLoadedFormsFontPass(std::function<void()> pass);

// The user's default language, from the POSIX locale for messages.
std::int32_t GetUserDefaultLangID();

// Where the program lives: its folder and executable name without extension.
struct ProgramLocation {
    std::string folder;
    std::string executableName;
};
// Resolved from /proc/self/exe unless a test has set one; a location with an empty folder
// returns to the resolved one.
const ProgramLocation& programLocation();
void setProgramLocation(ProgramLocation location);

// Back to the state at program start (language 0, no library, empty list), for tests.
void resetLanguageState();

} // namespace tambrel
