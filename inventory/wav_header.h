// Reading the format tag and sample rate from the start of a RIFF/WAVE file: one 38-byte read
// for a canonical file, a bounded chunk walk for files that put other chunks first.
#pragma once

#include "common/file_facts.h"
#include "common/result.h"
#include "platform/files/file_status.h"
#include "platform/files/folder_listing.h"
#include "platform/files/head_reads.h"

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tambrel {

// The bytes read at offset 0 for every file: the 4-byte tag and the 18-byte format block at 20.
inline constexpr std::size_t kHeaderBytes = 38;
// Chunks are looked for no further than this into the file.
inline constexpr std::uint64_t kChunkSearchLimit = 64 * 1024;

// Where the header's bytes come from: an open file, or memory for the fuzzer.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Fills the front of `buffer` from `offset`; fewer bytes than asked at the end of the data.
    virtual Result<std::size_t> readAt(std::uint64_t offset, std::span<std::byte> buffer) const = 0;
};

class MemoryByteSource final : public ByteSource {
public:
    explicit MemoryByteSource(std::span<const std::byte> bytes) : bytes_(bytes) {}
    Result<std::size_t> readAt(std::uint64_t offset, std::span<std::byte> buffer) const override;

private:
    std::span<const std::byte> bytes_;
};

// The header and, when a read failed, that failure. A failed first read leaves the file
// "not a WAV file"; a failed read during the chunk walk leaves the format block zero.
struct HeaderDecoding {
    WavHeader header;
    std::optional<Failure> readFailure;
};

// `first` holds the bytes read at offset 0 (up to kHeaderBytes, fewer for a short file);
// `source` is asked for more only when the first chunk is not the format chunk.
HeaderDecoding decodeWavHeader(std::span<const std::byte> first, const ByteSource& source);
// Reads the first bytes from `source` itself.
HeaderDecoding decodeWavHeader(const ByteSource& source);

// Size and last-modified time from the status call on the open file.
using FileStatus = platform::FileStatus;

// Everything one file yields: open, one read of the header bytes, one status call, close.
// `failures` lists, in the order they happened, every failure worth a message: the open (after
// which nothing else is tried), the read, the status call and the close.
struct FileHeaderReading {
    WavHeader header;
    std::optional<FileStatus> status;
    std::vector<Failure> failures;
    bool opened = false;
};

// `listedStatus`, when the folder listing delivered size and time, takes the status call's place.
FileHeaderReading readFileHeader(const std::string& hostPath,
                                 const std::optional<FileStatus>& listedStatus = std::nullopt);
// The same for the file `name` of an open folder: opened relative to it, so the kernel does not
// walk every component of the path again for each file.
FileHeaderReading readFileHeaderIn(const platform::OpenFolder& folder, const std::string& name);

// One file's reading through a FileHeaderQueue: the caller's own record (the file named as
// platform::HeadRead names it), handed back with its reading when the file is done.
struct QueuedHeaderRead : platform::HeadRead {
    FileHeaderReading reading;
};

// The readings of many files at once, with the same calls and the same outcome as
// readFileHeaderIn and readFileHeader, through the system's asynchronous queue; for the thread
// that started it alone.
class FileHeaderQueue {
public:
    // Up to `depth` files in flight; null where the system has no such queue.
    static std::unique_ptr<FileHeaderQueue> start(std::size_t depth);
    ~FileHeaderQueue();

    std::size_t capacity() const;
    // Starts reading the file `read` names; the record, and the folder it names, stay as they
    // are until the file is finished. Never more than capacity() files at once.
    void add(QueuedHeaderRead& read);
    // Waits until the files in flight have moved on and calls `finished` with the record of
    // every file that is done, its reading filled in.
    void advance(const std::function<void(QueuedHeaderRead& read)>& finished);

private:
    class Readings;
    explicit FileHeaderQueue(std::unique_ptr<Readings> readings);
    std::unique_ptr<Readings> readings_;
};

} // namespace tambrel
