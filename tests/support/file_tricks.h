// File-system set-ups the tests need that differ between systems: a FIFO where the system has
// them, and a chosen modification time.
#pragma once

#include <cstdint>
#include <filesystem>

namespace tambrel::testing {

// Makes a FIFO at `path`; false where the system has none (Windows), so the test can skip.
bool makeFifo(const std::filesystem::path& path);

// Sets the file's modification time to `secondsSinceEpoch` (UTC).
void setModificationTime(const std::filesystem::path& path, std::int64_t secondsSinceEpoch);

} // namespace tambrel::testing
