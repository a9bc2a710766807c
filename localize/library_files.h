// The files beside the program: case-blind lookup of a library or help page by name, the
// folder listing, and the rule that tells a language library's name from any other file's.
#pragma once

#include "common/result.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tambrel {

// ASCII letters compared without regard to case, as Windows compares file names.
bool equalIgnoringCase(std::string_view left, std::string_view right);

// The path of `fileName` in `folder`: the exact name when a regular file has it, else the
// first regular file of the listing whose name differs only in letter case; nullopt if none.
std::optional<std::string> findFileIgnoringCase(const std::string& folder,
                                                std::string_view fileName);

// The names of the regular files (and links to them) directly in `folder`, in the order the
// directory delivers them.
Result<std::vector<std::string>> listFileNames(const std::string& folder);

// The abbreviation a file name gives when it names a language library of `executableName`:
// the name begins with the executable name and "_" and ends in "DLL" (both case-blind); the
// abbreviation is the three characters before the last four, spelled as in the file name.
std::optional<std::string> libraryAbbreviation(std::string_view fileName,
                                               std::string_view executableName);

} // namespace tambrel
