#include "inventory/wav_header.h"

#include "common/ascii_case.h"
#include "common/bounded_bytes.h"
#include "platform/files/file_reads.h"
#include "platform/files/head_reads.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace tambrel {
namespace {

// The queue's head read is the decoder's first read: a shorter one would look like a short file.
static_assert(kHeaderBytes <= platform::kMostHeadBytes);

bool sameLetters(const std::byte* bytes, const char (&word)[5]) {
    for (int i = 0; i < 4; ++i) {
        if (asciiLower(static_cast<char>(bytes[i])) != asciiLower(word[i]))
            return false;
    }
    return true;
}

// The row's tag and rate from the first `available` bytes of a format chunk's fields, the rest
// taken as zero: the format block that was not read stays zero.
WavHeader rowFields(const std::byte* bytes, std::size_t available) {
    std::array<std::byte, 8> fields{};
    if (available > 0)
        std::memcpy(fields.data(), bytes, std::min(available, fields.size()));
    const BoundedBytes block{std::span<const std::byte>(fields)};
    WavHeader header;
    header.kind = HeaderKind::Wave;
    header.formatTag = static_cast<std::int16_t>(block.read16(0).value_or(0));
    header.sampleRate = static_cast<std::int32_t>(block.read32(4).value_or(0));
    return header;
}

// The bytes at an offset: from the first read while it holds them, then through a window read
// at the chunk wanted, so that the small chunks recorders put first cost one read in all and a
// long chunk costs one read past it.
class ChunkReader {
public:
    ChunkReader(std::span<const std::byte> first, const ByteSource& source,
                std::optional<std::uint64_t> fileSize)
        : first_(first), source_(source), end_(fileSize) {
        // A first read shorter than asked for ended at the end of the file.
        if (first.size() < kHeaderBytes)
            end_ = std::min<std::uint64_t>(end_.value_or(first.size()), first.size());
    }

    // Up to `wanted` bytes at `offset`: fewer at the end of the file, none beyond it.
    Result<std::span<const std::byte>> at(std::uint64_t offset, std::size_t wanted) {
        if (end_) {
            if (offset >= *end_)
                return std::span<const std::byte>();
            wanted = static_cast<std::size_t>(std::min<std::uint64_t>(wanted, *end_ - offset));
        }
        if (offset + wanted <= first_.size())
            return first_.subspan(static_cast<std::size_t>(offset), wanted);
        if (!(offset >= start_ && offset + wanted <= start_ + length_)) {
            Result<std::size_t> read = source_.readAt(offset, window_);
            if (!read)
                return read.failure();
            start_ = offset;
            length_ = read.value();
            if (length_ < window_.size())
                end_ = start_ + length_;
        }
        const std::size_t into = static_cast<std::size_t>(offset - start_);
        const std::size_t held = into < length_ ? length_ - into : 0;
        return std::span<const std::byte>(window_.data() + std::min(into, length_),
                                          std::min(held, wanted));
    }

private:
    std::span<const std::byte> first_;
    const ByteSource& source_;
    std::optional<std::uint64_t> end_;   // where the file ends, once known
    std::array<std::byte, 4096> window_; // only its first length_ bytes are ever read
    std::uint64_t start_ = 0;
    std::size_t length_ = 0;
};

// The most of a chunk's body the walk looks at: an extensible format chunk's 40 bytes.
constexpr std::size_t kMostBodyBytes = 40;
constexpr std::uint16_t kExtensible = 0xFFFE;

// What the chunk walk found.
struct Chunks {
    bool formatFound = false;
    std::uint64_t formatAt = 0;
    std::uint32_t formatLength = 0;
    std::array<std::byte, kMostBodyBytes> format{};
    std::size_t formatHeld = 0; // bytes of the format chunk's body in the file, up to 40
    bool dataFound = false;
    std::uint64_t dataAt = 0; // where the audio starts
    std::uint64_t dataLength = 0;
    std::optional<std::uint64_t> factSamples;
    std::optional<std::uint64_t> ds64RiffSize;
    std::optional<std::uint64_t> ds64DataSize;
    std::optional<std::uint64_t> ds64Samples;
    bool endedInsideChunkHeader = false;
    std::optional<Failure> failure;
    std::uint64_t failedAt = 0;
};

// The facts of the format chunk's body, each only when it lies wholly inside the chunk.
void takeFormatFields(const Chunks& chunks, ByteOrder order, WavFacts& facts) {
    const std::size_t held = std::min<std::size_t>(chunks.formatHeld, chunks.formatLength);
    // Only the bytes inside the chunk: a field beyond them stays unknown.
    const BoundedBytes body(std::span<const std::byte>(chunks.format.data(), held), order);
    if (const auto tag = body.read16(0))
        facts.setFormatTag(*tag);
    if (const auto channels = body.read16(2))
        facts.setChannels(*channels);
    if (const auto rate = body.read32(4))
        facts.setSampleRate(*rate);
    if (const auto byteRate = body.read32(8))
        facts.setByteRate(*byteRate);
    if (const auto blockAlign = body.read16(12))
        facts.setBlockAlign(*blockAlign);
    if (const auto bits = body.read16(14))
        facts.setBitsPerSample(*bits);
    // The registered sub-formats are the format tag in the GUID's first field, then the fixed
    // remainder 0000-0010-8000-00AA00389B71.
    static constexpr std::array<unsigned char, 8> kGuidTail{0x80, 0x00, 0x00, 0xAA,
                                                            0x00, 0x38, 0x9B, 0x71};
    constexpr std::size_t kGuidAt = 24;
    if (facts.formatTag() == kExtensible && body.holds(kGuidAt, 16)) {
        const std::uint32_t first = *body.read32(kGuidAt);
        bool registered = first <= 0xFFFF && body.read16(kGuidAt + 4) == 0x0000 &&
                          body.read16(kGuidAt + 6) == 0x0010;
        for (std::size_t i = 0; i < kGuidTail.size(); ++i)
            registered = registered &&
                         static_cast<unsigned char>(chunks.format[kGuidAt + 8 + i]) == kGuidTail[i];
        if (registered)
            facts.setSubFormatTag(static_cast<std::uint16_t>(first));
    }
}

// Whether the walk must go on past the data chunk for a fact chunk.
bool needsFactChunk(const WavFacts& facts) {
    const std::optional<std::uint16_t> codec = facts.codecTag();
    return !codec || !isPcmLike(*codec);
}

Chunks walkChunks(ChunkReader& reader, ByteOrder order, bool rf64, WavFacts& facts) {
    Chunks chunks;
    std::uint64_t position = 12;
    for (int seen = 0; seen < kMostChunks; ++seen) {
        if (chunks.formatFound && chunks.dataFound &&
            (chunks.factSamples || !needsFactChunk(facts)))
            break;
        Result<std::span<const std::byte>> header = reader.at(position, 8);
        if (!header) {
            chunks.failure = header.failure();
            chunks.failedAt = position;
            break;
        }
        if (header->size() < 8) {
            chunks.endedInsideChunkHeader = !header->empty();
            break;
        }
        const std::byte* id = header->data();
        const std::uint32_t length = BoundedBytes(header.value(), order).read32(4).value_or(0);
        // Only the format, fact and ds64 chunks are read beyond their header.
        const bool wanted = (sameLetters(id, "fmt ") && !chunks.formatFound) ||
                            (sameLetters(id, "fact") && !chunks.factSamples) ||
                            (rf64 && position == 12 && sameLetters(id, "ds64"));
        std::span<const std::byte> bytes = header.value();
        if (wanted) {
            Result<std::span<const std::byte>> read =
                reader.at(position, 8 + std::min<std::size_t>(length, kMostBodyBytes));
            if (!read) {
                chunks.failure = read.failure();
                chunks.failedAt = position;
                break;
            }
            bytes = read.value();
        }
        const std::span<const std::byte> body = bytes.subspan(8);
        if (sameLetters(bytes.data(), "fmt ") && !chunks.formatFound) {
            chunks.formatFound = true;
            chunks.formatAt = position;
            chunks.formatLength = length;
            chunks.formatHeld = body.size();
            if (!body.empty())
                std::memcpy(chunks.format.data(), body.data(), body.size());
            takeFormatFields(chunks, order, facts);
        } else if (sameLetters(bytes.data(), "data") && !chunks.dataFound) {
            chunks.dataFound = true;
            chunks.dataAt = position + 8;
            chunks.dataLength = length;
            // RF64 keeps the length of data too long for 32 bits in its ds64 chunk.
            if (rf64 && length == 0xFFFFFFFFu && chunks.ds64DataSize)
                chunks.dataLength = *chunks.ds64DataSize;
        } else if (sameLetters(bytes.data(), "fact") && !chunks.factSamples && body.size() >= 4) {
            const std::uint32_t samples = *BoundedBytes(body, order).read32(0);
            chunks.factSamples = (rf64 && samples == 0xFFFFFFFFu && chunks.ds64Samples)
                                     ? *chunks.ds64Samples
                                     : samples;
        } else if (rf64 && position == 12 && sameLetters(bytes.data(), "ds64") &&
                   body.size() >= 24) {
            const BoundedBytes sizes(body, order);
            chunks.ds64RiffSize = sizes.read64(0);
            chunks.ds64DataSize = sizes.read64(8);
            chunks.ds64Samples = sizes.read64(16);
        }
        position += 8 + static_cast<std::uint64_t>(length) + (length & 1u);
    }
    return chunks;
}

// The least length of a format chunk holding the fields its format needs: the tag to the block
// alignment in the oldest form, bits per sample for PCM and float, and the sub-format GUID for
// an extensible file.
std::uint32_t neededFormatLength(std::optional<std::uint16_t> tag) {
    if (tag == kExtensible)
        return 40;
    if (tag == 0x0001 || tag == 0x0003)
        return 16;
    return 14;
}

// The problem the walk's findings show, in the order of WavProblem; the container's own
// problem, when it has one, was set before.
WavProblem problemOf(const Chunks& chunks, const WavFacts& facts, std::uint64_t riffLength,
                     std::optional<std::uint64_t> fileSize) {
    if (!chunks.formatFound)
        return chunks.endedInsideChunkHeader ? WavProblem::HeaderTruncated
                                             : WavProblem::NoFormatChunk;
    const std::uint64_t formatEnd = chunks.formatAt + 8 + chunks.formatLength;
    const bool formatCut =
        fileSize ? formatEnd > *fileSize
                 : chunks.formatHeld < std::min<std::uint64_t>(chunks.formatLength, kMostBodyBytes);
    if (formatCut)
        return WavProblem::HeaderTruncated;
    if (chunks.formatLength < neededFormatLength(facts.formatTag()))
        return WavProblem::FormatChunkShort;
    if (facts.channels() == 0 || facts.sampleRate() == 0 || facts.blockAlign() == 0)
        return WavProblem::InvalidFormat;
    if (!chunks.dataFound || chunks.dataLength == 0)
        return WavProblem::NoData;
    if (facts.dataCutShort())
        return WavProblem::Truncated;
    if (fileSize && (*fileSize < 8 || riffLength != *fileSize - 8))
        return WavProblem::RiffLengthMismatch;
    return WavProblem::None;
}

} // namespace

Result<std::size_t> MemoryByteSource::readAt(std::uint64_t offset,
                                             std::span<std::byte> buffer) const {
    if (offset >= bytes_.size())
        return std::size_t{0};
    const std::size_t count =
        std::min<std::size_t>(buffer.size(), bytes_.size() - static_cast<std::size_t>(offset));
    std::memcpy(buffer.data(), bytes_.data() + offset, count);
    return count;
}

HeaderDecoding decodeWavHeader(std::span<const std::byte> first, const ByteSource& source,
                               std::optional<std::uint64_t> fileSize) {
    HeaderDecoding decoding;
    WavFacts& facts = decoding.facts;
    const std::size_t length = first.size();
    const std::byte* bytes = first.data();
    if (length == 0) {
        facts.problem = WavProblem::Empty;
        return decoding;
    }
    const bool riff = length >= 4 && sameLetters(bytes, "RIFF");
    const bool rifx = length >= 4 && sameLetters(bytes, "RIFX");
    const bool rf64 = length >= 4 && (sameLetters(bytes, "RF64") || sameLetters(bytes, "BW64"));
    if (!riff && !rifx && !rf64) {
        facts.problem = WavProblem::NotRiff;
        return decoding;
    }
    if (rifx)
        facts.problem = WavProblem::Rifx;
    else if (rf64)
        facts.problem = WavProblem::Rf64;

    const bool wave = length >= 12 && sameLetters(bytes + 8, "WAVE");
    // The row: a RIFF file too short to say otherwise is read at fixed offsets, and nothing is
    // ever read from beyond the format chunk it names.
    if (riff && length >= 12 && !wave) {
        facts.problem = WavProblem::NotWave;
        return decoding;
    }
    if (riff && length < 16)
        decoding.header = rowFields(bytes, 0);
    if (length < 12) {
        facts.problem = riff ? WavProblem::HeaderTruncated : facts.problem;
        return decoding;
    }
    if (!wave) {
        facts.problem = facts.problem == WavProblem::None ? WavProblem::NotWave : facts.problem;
        return decoding;
    }

    const ByteOrder order = rifx ? ByteOrder::BigEndian : ByteOrder::LittleEndian;
    ChunkReader reader(first, source, fileSize);
    const Chunks chunks = walkChunks(reader, order, rf64, facts);

    if (riff && length >= 16) {
        if (chunks.formatFound && chunks.formatAt + 8 <= kChunkSearchLimit)
            decoding.header =
                rowFields(chunks.format.data(),
                          std::min<std::size_t>(chunks.formatHeld, chunks.formatLength));
        else if (!chunks.formatFound && chunks.failure &&
                 chunks.failedAt + 8 <= kChunkSearchLimit) {
            // As when the format block cannot be read: the block stays zero.
            decoding.header = rowFields(bytes, 0);
            decoding.readFailure = chunks.failure;
        }
    }
    // A format chunk that fills the first 20 bytes is read as the row's fixed block would be.
    if (riff && length >= 16 && length < 20 && sameLetters(bytes + 12, "fmt "))
        decoding.header = rowFields(bytes, 0);

    if (chunks.dataFound) {
        std::uint64_t held = chunks.dataLength;
        if (fileSize &&
            (chunks.dataAt > *fileSize || chunks.dataLength > *fileSize - chunks.dataAt)) {
            held = *fileSize > chunks.dataAt ? *fileSize - chunks.dataAt : 0;
            facts.markDataCutShort();
        }
        facts.setDataBytes(held);
    }
    if (chunks.factSamples)
        facts.setFactSamples(*chunks.factSamples);
    if (chunks.failure) {
        facts.problem = WavProblem::Unreadable;
        decoding.factsFailure = chunks.failure;
        return decoding;
    }
    if (facts.problem == WavProblem::None) {
        const std::uint64_t riffLength = rf64 && chunks.ds64RiffSize
                                             ? *chunks.ds64RiffSize
                                             : BoundedBytes(first, order).read32(4).value_or(0);
        facts.problem = problemOf(chunks, facts, riffLength, fileSize);
    }
    return decoding;
}

HeaderDecoding firstReadFailed(const Failure& failure) {
    HeaderDecoding decoding;
    decoding.readFailure = failure;
    decoding.factsFailure = failure;
    decoding.facts.problem = WavProblem::Unreadable;
    return decoding;
}

HeaderDecoding decodeWavHeader(const ByteSource& source, std::optional<std::uint64_t> fileSize) {
    std::array<std::byte, kHeaderBytes> first;
    // No more than the file holds: a read that fills what it asked for ends there, where one
    // that asks past the end of a short file takes a second call to hear the end.
    std::span<std::byte> wanted(first);
    if (fileSize && *fileSize > 0 && *fileSize < wanted.size())
        wanted = wanted.first(static_cast<std::size_t>(*fileSize));
    Result<std::size_t> read = source.readAt(0, wanted);
    if (!read)
        return firstReadFailed(read.failure());
    return decodeWavHeader(std::span<const std::byte>(first.data(), read.value()), source,
                           fileSize);
}

namespace {

std::optional<std::uint64_t> sizeOf(const Result<FileStatus>& status) {
    if (!status || status->size < 0)
        return std::nullopt;
    return static_cast<std::uint64_t>(status->size);
}

// After the open: the header, then the status, each failure in the order of the calls. A failed
// first read leaves the file "not a WAV file".
void addHeaderAndStatus(FileHeaderReading& reading, HeaderDecoding decoding,
                        const std::optional<FileStatus>& listedStatus,
                        const Result<FileStatus>& status) {
    reading.opened = true;
    reading.header = decoding.header;
    reading.facts = decoding.facts;
    reading.factsFailure = std::move(decoding.factsFailure);
    if (decoding.readFailure)
        reading.failures.push_back(std::move(*decoding.readFailure));
    if (listedStatus)
        reading.status = listedStatus;
    else if (status)
        reading.status = status.value();
    else
        reading.failures.push_back(status.failure());
}

// A file that exists but cannot be opened still shows its size and date where there are any;
// when there are none, the open's failure already said why.
template <typename StatusWithoutOpening>
FileHeaderReading notOpened(const Failure& failure, const std::optional<FileStatus>& listedStatus,
                            StatusWithoutOpening&& statusWithoutOpening) {
    FileHeaderReading reading;
    reading.failures.push_back(failure);
    if (listedStatus)
        reading.status = listedStatus;
    else if (Result<FileStatus> status = statusWithoutOpening(); status)
        reading.status = status.value();
    return reading;
}

Result<FileStatus> statusOfHostPath(const std::string& hostPath) {
    Result<platform::PathStatus> info = platform::statusOfPath(hostPath);
    if (!info)
        return info.failure();
    return info->status;
}

class OpenFileSource final : public ByteSource {
public:
    explicit OpenFileSource(const platform::ReadOnlyFile& file) : file_(file) {}
    Result<std::size_t> readAt(std::uint64_t offset, std::span<std::byte> buffer) const override {
        return file_.readAt(offset, buffer);
    }

private:
    const platform::ReadOnlyFile& file_;
};

// Open, read, status, close. `listedStatus`, when the listing delivered size and time, takes
// the status call's place; `statusWithoutOpening` gives size and date of a file that exists but
// cannot be opened.
template <typename StatusWithoutOpening>
FileHeaderReading readOpened(Result<platform::ReadOnlyFile> opened,
                             const std::optional<FileStatus>& listedStatus,
                             StatusWithoutOpening&& statusWithoutOpening) {
    if (!opened)
        return notOpened(opened.failure(), listedStatus, statusWithoutOpening);
    FileHeaderReading reading;
    platform::ReadOnlyFile& file = opened.value();
    // The status first, so that the decoder knows the file's size; its failure is still told
    // after the read's.
    const Result<FileStatus> status =
        listedStatus ? Result<FileStatus>(*listedStatus) : file.status();
    HeaderDecoding decoding = decodeWavHeader(OpenFileSource(file), sizeOf(status));
    addHeaderAndStatus(reading, std::move(decoding), listedStatus, status);
    if (Status closed = file.close(); !closed)
        reading.failures.push_back(closed.failure());
    return reading;
}

} // namespace

FileHeaderReading readFileHeader(const std::string& hostPath,
                                 const std::optional<FileStatus>& listedStatus) {
    return readOpened(platform::ReadOnlyFile::open(hostPath), listedStatus,
                      [&] { return statusOfHostPath(hostPath); });
}

FileHeaderReading readFileHeaderIn(const platform::OpenFolder& folder, const std::string& name) {
    return readOpened(platform::ReadOnlyFile::openIn(folder, name), std::nullopt,
                      [&] { return folder.statusOf(name); });
}

// Each file's reading as the queue tells its steps, built up in the file's own record.
class FileHeaderQueue::Readings final : public platform::HeadReads::Client {
public:
    explicit Readings(std::unique_ptr<platform::HeadReads> reads) : reads_(std::move(reads)) {}

    platform::HeadReads& reads() { return *reads_; }

    void add(QueuedHeaderRead& read) {
        read.reading = FileHeaderReading{};
        // Never refused: the caller keeps to the capacity.
        (void)reads_->add(read);
    }

    void advance(const std::function<void(QueuedHeaderRead&)>& finished) {
        finished_ = &finished;
        reads_->advance(*this);
        finished_ = nullptr;
    }

    void notOpened(platform::HeadRead& headRead, const Failure& failure) override {
        QueuedHeaderRead& read = static_cast<QueuedHeaderRead&>(headRead);
        read.reading = tambrel::notOpened(failure, std::nullopt, [&] {
            return read.folder ? read.folder->statusOf(read.name) : statusOfHostPath(read.name);
        });
        (*finished_)(read);
    }

    void headRead(platform::HeadRead& headRead, const platform::ReadOnlyFile& opened,
                  const Result<std::span<const std::byte>>& head,
                  const Result<FileStatus>& status) override {
        QueuedHeaderRead& read = static_cast<QueuedHeaderRead&>(headRead);
        const OpenFileSource source(opened);
        addHeaderAndStatus(read.reading,
                           head ? decodeWavHeader(head.value(), source, sizeOf(status))
                                : firstReadFailed(head.failure()),
                           std::nullopt, status);
    }

    void closed(platform::HeadRead& headRead, const Status& closed) override {
        QueuedHeaderRead& read = static_cast<QueuedHeaderRead&>(headRead);
        if (!closed)
            read.reading.failures.push_back(closed.failure());
        (*finished_)(read);
    }

private:
    std::unique_ptr<platform::HeadReads> reads_;
    const std::function<void(QueuedHeaderRead&)>* finished_ = nullptr;
};

std::unique_ptr<FileHeaderQueue> FileHeaderQueue::start(std::size_t depth) {
    Result<std::unique_ptr<platform::HeadReads>> reads =
        platform::HeadReads::start(depth, kHeaderBytes);
    if (!reads)
        return nullptr;
    return std::unique_ptr<FileHeaderQueue>(
        new FileHeaderQueue(std::make_unique<Readings>(std::move(reads.value()))));
}

FileHeaderQueue::FileHeaderQueue(std::unique_ptr<Readings> readings)
    : readings_(std::move(readings)) {}

FileHeaderQueue::~FileHeaderQueue() = default;

std::size_t FileHeaderQueue::capacity() const {
    return readings_->reads().capacity();
}

void FileHeaderQueue::add(QueuedHeaderRead& read) {
    readings_->add(read);
}

void FileHeaderQueue::advance(const std::function<void(QueuedHeaderRead&)>& finished) {
    readings_->advance(finished);
}

} // namespace tambrel
