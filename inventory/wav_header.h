// Reading a RIFF/WAVE file's header: the format tag and sample rate its row shows, and every
// other fact of its format, data and fact chunks, from one read at its start for the usual
// layouts and a bounded chunk walk for files that put long chunks first.
#pragma once

#include "common/file_facts.h"
#include "common/result.h"
#include "common/wav_facts.h"
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

// The bytes read at offset 0 for every file. The files sox, ffmpeg and recorders write put the
// start of their audio at byte 44 to 138 (format, fact and a LIST of tags first); a broadcast
// file's 602-byte bext chunk at 688. 512 bytes reach the data chunk of all but the broadcast
// files and cost no more than the 38 the row needs, where 4096 cost a fifth more per file.
inline constexpr std::size_t kHeaderBytes = 512;
// The row's fields lie in the first 38 bytes: the tag and the 18-byte format block at 20.
inline constexpr std::size_t kFormatBlockEnd = 38;
// The row shows the fields of a format chunk that starts no further than this into the file;
// the facts come from the format chunk wherever it is.
inline constexpr std::uint64_t kChunkSearchLimit = 64 * 1024;
// The chunk walk looks at no more chunks than this.
inline constexpr int kMostChunks = 256;

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
    std::optional<Failure> readFailure; // a failure the row's own reads met: worth a message
    WavFacts facts;
    // With the problem Unreadable: the failing read's words. The same as readFailure, or a
    // failure met only while looking for facts the row does not need (no message for it).
    std::optional<Failure> factsFailure;
};

// `first` holds the bytes read at offset 0 (up to kHeaderBytes; fewer only when the file ends);
// `source` is asked for more only when the chunks the facts need lie beyond them. `fileSize`,
// when known, tells truncated data and a wrong RIFF length, and spares reads past the end.
HeaderDecoding decodeWavHeader(std::span<const std::byte> first, const ByteSource& source,
                               std::optional<std::uint64_t> fileSize = std::nullopt);
// A file whose first read failed: not a WAV file for its row, unreadable for its facts.
HeaderDecoding firstReadFailed(const Failure& failure);
// Reads the first bytes from `source` itself.
HeaderDecoding decodeWavHeader(const ByteSource& source,
                               std::optional<std::uint64_t> fileSize = std::nullopt);

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
    WavFacts facts;
    std::optional<Failure> factsFailure; // see HeaderDecoding
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
