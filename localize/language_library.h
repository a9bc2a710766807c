// Open language libraries under handles of the program's own, in place of LoadLibraryExW as a
// data file, FreeLibrary and LoadStringW.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace tambrel {

// Reads the library at `path` once, whole, and returns a small positive handle for it; 0 when
// the file is missing, unreadable or unusable. A later change to the file changes nothing.
std::int32_t openLanguageLibrary(const std::string& path);

// Releases the library; unknown handles are ignored.
void closeLanguageLibrary(std::int32_t handle);

// The text of string `id` from the library in the block of `languageID` (see PeStringTable),
// nullopt when the handle is unknown or the library holds no block with the ID.
std::optional<std::u16string> loadLibraryString(std::int32_t handle, std::int32_t id,
                                                std::int32_t languageID);

// How many libraries are open, for tests that check nothing is left open.
std::size_t openLanguageLibraryCount();

} // namespace tambrel
