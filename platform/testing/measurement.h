// What the benchmarks measure with and against: the process's peak memory and processor time,
// the machine's load, a page cache emptied for a cold round, and the floors a step is compared
// with (the bare system calls of a header read, a plain write of a file). POSIX only, as the
// benchmarks are.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tambrel::testing {

// The most memory this process has held resident so far, in MiB.
double peakResidentMebibytes();

// The bytes the heap has handed out and not yet taken back.
std::size_t heapBytesInUse();

// Processor seconds spent so far by the calling thread, or by the whole process.
enum class ProcessorClock { CallingThread, WholeProcess };
double processorSeconds(ProcessorClock clock);

// The machine's load averages over 1, 5 and 15 minutes, as the system writes them; "unknown"
// where it has none.
std::string loadAverage();

// Writes back every dirty page, so that a timed write pays for no other's.
void flushFileSystems();

// Writes back and then drops the page cache, for a cold round; false without the privilege.
bool dropPageCache();

// The floor of a file row: every folder below `folder` listed, and for each file one open, one
// read of `headerBytes` at offset 0, one status call and one close, by full path, one after
// another. Returns a checksum of what was read, so that no work can be skipped.
std::uint64_t headerReadsBelow(const std::string& folder, unsigned headerBytes);

// The same for one file.
std::uint64_t headerReadOf(const std::string& path, unsigned headerBytes);

// The floor of an export: `bytes` written into a fresh file at `path`, 1 MiB at a time, and
// flushed to the disk when asked; false when a step failed.
bool writePlainFile(const std::string& path, std::string_view bytes, bool flushToDisk);

} // namespace tambrel::testing
