#include "inventory/wav_header.h"

#include "common/ascii_case.h"
#include "common/little_endian_bytes.h"
#include "platform/files/file_reads.h"
#include "platform/files/head_reads.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace tambrel {
namespace {

bool sameLetters(const std::byte* bytes, const char (&word)[5]) {
    for (int i = 0; i < 4; ++i) {
        if (asciiLower(static_cast<char>(bytes[i])) != asciiLower(word[i]))
            return false;
    }
    return true;
}

// Tag and rate at `offset` into `bytes`, zero for whatever lies beyond `available`: the fixed
// layout of a format chunk's first fields.
WavHeader formatFields(const std::byte* bytes, std::size_t available) {
    std::array<std::byte, 8> fields{};
    std::memcpy(fields.data(), bytes, std::min(available, fields.size()));
    WavHeader header;
    header.kind = HeaderKind::Wave;
    const LittleEndianBytes numbers{std::span<const std::byte>(fields)};
    header.formatTag = static_cast<std::int16_t>(*numbers.read16(0));
    header.sampleRate = static_cast<std::int32_t>(*numbers.read32(4));
    return header;
}

// Reads the source through a window, so that the small chunks recorders put first (LIST, JUNK,
// bext) cost one extra read in all.
class WindowedReader {
public:
    explicit WindowedReader(const ByteSource& source) : source_(source) {}

    // The bytes at `offset`, up to `wanted` of them, or a failure; `available` tells how many.
    Result<const std::byte*> at(std::uint64_t offset, std::size_t wanted, std::size_t& available) {
        if (!(offset >= start_ && offset + wanted <= start_ + length_)) {
            Result<std::size_t> read = source_.readAt(offset, window_);
            if (!read)
                return read.failure();
            start_ = offset;
            length_ = read.value();
        }
        const std::size_t into = static_cast<std::size_t>(offset - start_);
        available = into < length_ ? length_ - into : 0;
        return window_.data() + std::min<std::size_t>(into, length_);
    }

private:
    const ByteSource& source_;
    std::array<std::byte, 4096> window_{};
    std::uint64_t start_ = 0;
    std::size_t length_ = 0;
};

HeaderDecoding walkChunks(const ByteSource& source) {
    HeaderDecoding decoding;
    WindowedReader reader(source);
    std::uint64_t position = 12;
    while (position + 8 <= kChunkSearchLimit) {
        std::size_t available = 0;
        Result<const std::byte*> chunk = reader.at(position, 16, available);
        if (!chunk) {
            // As when the format block cannot be read: the block stays zero.
            decoding.header.kind = HeaderKind::Wave;
            decoding.readFailure = chunk.failure();
            return decoding;
        }
        if (available < 8)
            break; // the file ends before the next chunk header
        const std::byte* bytes = chunk.value();
        const std::uint32_t length = *LittleEndianBytes(std::span(bytes, available)).read32(4);
        if (sameLetters(bytes, "fmt ")) {
            const std::size_t fields = std::min<std::size_t>(available - 8, length);
            decoding.header = formatFields(bytes + 8, fields);
            return decoding;
        }
        position += 8 + static_cast<std::uint64_t>(length) + (length & 1u);
    }
    decoding.header = WavHeader{}; // a WAVE form without a format chunk is no WAV file
    return decoding;
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

HeaderDecoding decodeWavHeader(std::span<const std::byte> first, const ByteSource& source) {
    const std::size_t length = std::min(first.size(), kHeaderBytes);
    const std::byte* bytes = first.data();
    if (length < 4 || !sameLetters(bytes, "RIFF"))
        return {};
    // An AVI or any other RIFF form is not a WAV file.
    if (length >= 12 && !sameLetters(bytes + 8, "WAVE"))
        return {};
    // The canonical layout, and files too short to say otherwise, are read at fixed offsets.
    if (length < 16 || sameLetters(bytes + 12, "fmt "))
        return {length > 20 ? formatFields(bytes + 20, length - 20) : formatFields(bytes, 0), {}};
    return walkChunks(source);
}

HeaderDecoding decodeWavHeader(const ByteSource& source) {
    std::array<std::byte, kHeaderBytes> first{};
    Result<std::size_t> read = source.readAt(0, first);
    if (!read)
        return {WavHeader{}, read.failure()};
    return decodeWavHeader(std::span<const std::byte>(first.data(), read.value()), source);
}

namespace {

// After the open: the header, then the status, each failure in the order of the calls. A failed
// first read leaves the file "not a WAV file".
void addHeaderAndStatus(FileHeaderReading& reading, HeaderDecoding decoding,
                        const std::optional<FileStatus>& listedStatus,
                        const Result<FileStatus>& status) {
    reading.opened = true;
    reading.header = decoding.header;
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
    HeaderDecoding decoding = decodeWavHeader(OpenFileSource(file));
    addHeaderAndStatus(reading, std::move(decoding), listedStatus,
                       listedStatus ? Result<FileStatus>(*listedStatus) : file.status());
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
                           head ? decodeWavHeader(head.value(), source)
                                : HeaderDecoding{WavHeader{}, head.failure()},
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
