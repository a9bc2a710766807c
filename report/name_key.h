// A row's identity across two inventories: its list and its path, letter case ignored the way
// Windows compares file names, so "Greeting.WAV" on one server is "greeting.wav" on another.
#pragma once

#include "report/inventory_document.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace tambrel::report {

// `path` upper-cased as NTFS compares names: ASCII, Latin-1, Latin Extended-A, Greek, Cyrillic
// and the full-width Latin letters; other characters and bytes that are not UTF-8 stay.
std::string windowsUpcase(std::string_view path);

// Equal for rows of one list whose paths differ only in letter case (collisions aside).
std::uint64_t rowKeyHash(ListKind list, std::string_view path);
bool sameRowKey(std::string_view a, std::string_view b);

} // namespace tambrel::report
