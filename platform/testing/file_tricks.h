// File-system set-ups the tests and benchmarks need that differ between systems: FIFOs, sockets
// and devices where the system has them, chosen times, owners and creation mask, a file held open
// by "another program" that shares nothing or under a lease, and what the system itself says of a
// folder or a file. Tests and benchmarks make no system calls of their own.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
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
// and its modification and access times in whole seconds since 1970 (UTC); the size is -1 when
// the call fails.
struct StatusFacts {
    std::int64_t size = -1;
    std::int64_t modifiedSeconds = 0;
    std::int64_t accessedSeconds = 0;
};
StatusFacts statusFacts(const std::filesystem::path& path);

// Sets the file's modification time to `secondsSinceEpoch` (UTC).
void setModificationTime(const std::filesystem::path& path, std::int64_t secondsSinceEpoch);

// Holds `path` open with no share rights, as a program that locks its file does, until the
// result is destroyed. Empty where the system has no such locks (POSIX), so the test can skip.
std::shared_ptr<void> holdWithoutSharing(const std::filesystem::path& path);

// Sets both times of the entry itself (a link is not followed) to `secondsSinceEpoch` (UTC);
// false when the system refuses (errno says why).
bool setEntryTimes(const std::filesystem::path& path, std::int64_t secondsSinceEpoch);

// A write lease on `path`, as a file server's opportunistic locks take one for a client: until
// the holder gives it up, an open that must not wait is refused at once and any other open waits
// for the lease to be broken. Empty where the file system grants none (or the system has none).
std::shared_ptr<void> holdWriteLease(const std::filesystem::path& path);

// Sets the permission bits that newly made files go without and returns the previous mask (0
// where the system has no such mask).
unsigned setCreationMask(unsigned mask);

// The user and group this process acts as (0 where the system has no such numbers).
std::uint32_t effectiveUser();
std::uint32_t effectiveGroup();

// Gives `path` (or, with `ofTheLinkItself`, the link at `path`) to `user` and, when given, to
// `group`; false when the system refuses, as it does without privilege.
bool setOwner(const std::filesystem::path& path, std::uint32_t user,
              std::optional<std::uint32_t> group, bool ofTheLinkItself);

// Whether the system's own access check lets this process list and enter `folder`.
bool mayListFolder(const std::filesystem::path& folder);

// A fresh folder private to this user under the system's temporary folder, its name starting
// with `namePrefix`, left for the caller to remove; empty when none could be made.
std::optional<std::filesystem::path> makeFreshFolder(const std::string& namePrefix);

} // namespace tambrel::testing
