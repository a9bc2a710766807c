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

// Two independent 64-bit hashes of the list and the upper-cased path: rows whose keys agree in
// both name the same file (a false match of 128 bits is left to chance).
struct RowKey {
    std::uint64_t hash = 0;
    std::uint64_t check = 0;
    friend bool operator==(const RowKey&, const RowKey&) = default;
};
RowKey rowKey(ListKind list, std::string_view path);

// Mixes 64 bits into a running hash.
std::uint64_t mixHash(std::uint64_t hash, std::uint64_t word);

} // namespace tambrel::report
