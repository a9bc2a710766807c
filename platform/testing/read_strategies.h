// Three ways of doing the system calls of the scan's file rows, for the benchmark that weighs
// io_uring against a thread pool: the folders are listed once, then for every file an open
// relative to its folder, a read of the 38 header bytes, a status call and a close. POSIX only,
// as the benchmarks are.
#pragma once

#include <cstdint>
#include <string>

namespace tambrel::testing {

// One thread, one file after another: the floor. Each returns a checksum of what was read, so
// that no way of reading can skip the work.
std::uint64_t readHeadersOneByOne(const std::string& root);

// A pool of `threads` threads sharing the files out, a few per claim as the scan's readers do.
std::uint64_t readHeadersWithThreads(const std::string& root, unsigned threads);

// One thread keeping up to `depth` files in flight through an io_uring ring: the open first,
// then read, status and close linked; 0 when the kernel refuses the ring.
std::uint64_t readHeadersThroughRing(const std::string& root, unsigned depth);

} // namespace tambrel::testing
