// File-system set-ups the tests need that differ between systems: FIFOs, sockets and devices
// where the system has them, a chosen modification time, a file held open by "another program"
// that shares nothing, and what the system itself says of a folder or a file. The tests make no
// system calls of their own.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace tambrel::testing {

// Makes a FIFO at `path`; false where the system has none (Windows), so the test can skip.
bool makeFifo(const std::filesystem::path& path);

// A Unix socket bound at `path` and closed at once, so that the entry stays; false where the
// system has none (Windows) or the bind failed (errno says why).
bool makeSocket(const std::filesystem::path& path);

// A character device with the null device's numbers at `path` (opening it could do no harm);
// false where the system refuses (errno says why), as it does without privilege.
bool makeCharacterDevice(const std::filesystem::path& path);

// True when the tests run as the superuser, whom permissions refuse nothing.
bool runningAsSuperuser();

// Every name of `folder`, "." and ".." included, in the order the system lists them.
std::vector<std::string> namesInListingOrder(const std::filesystem::path& folder);

// What the system's status call says of `path` (links followed), whatever kind it is: its size
// and its modification time in whole seconds since 1970 (UTC); the size is -1 when the call fails.
struct StatusFacts {
    std::int64_t size = -1;
    std::int64_t modifiedSeconds = 0;
};
StatusFacts statusFacts(const std::filesystem::path& path);

// Sets the file's modification time to `secondsSinceEpoch` (UTC).
void setModificationTime(const std::filesystem::path& path, std::int64_t secondsSinceEpoch);

// Holds `path` open with no share rights, as a program that locks its file does, until the
// result is destroyed. Empty where the system has no such locks (POSIX), so the test can skip.
std::shared_ptr<void> holdWithoutSharing(const std::filesystem::path& path);

} // namespace tambrel::testing
