// File-system set-ups the tests need that differ between systems: a FIFO where the system has
// them, a chosen modification time, and a file held open by "another program" that shares nothing.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>

namespace tambrel::testing {

// Makes a FIFO at `path`; false where the system has none (Windows), so the test can skip.
bool makeFifo(const std::filesystem::path& path);

// Sets the file's modification time to `secondsSinceEpoch` (UTC).
void setModificationTime(const std::filesystem::path& path, std::int64_t secondsSinceEpoch);

// Holds `path` open with no share rights, as a program that locks its file does, until the
// result is destroyed. Empty where the system has no such locks (POSIX), so the test can skip.
std::shared_ptr<void> holdWithoutSharing(const std::filesystem::path& path);

} // namespace tambrel::testing
