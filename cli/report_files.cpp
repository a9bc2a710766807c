#include "cli/report_files.h"

#include "platform/export/direct_output.h"
#include "platform/files/file_reads.h"
#include "platform/process/standard_streams.h"

#include <cstddef>
#include <optional>

namespace tambrel::cli {
namespace {

class FileChunkSource final : public report::ChunkSource {
public:
    FileChunkSource(platform::ReadOnlyFile file, std::optional<std::uint64_t> size)
        : file_(std::move(file)), size_(size) {}

    Result<std::size_t> read(std::span<char> buffer) override {
        Result<std::size_t> got =
            file_.readAt(offset_, std::span<std::byte>(reinterpret_cast<std::byte*>(buffer.data()),
                                                       buffer.size()));
        if (got)
            offset_ += got.value();
        return got;
    }
    std::optional<std::uint64_t> sizeHint() const override {
        if (!size_ || *size_ < offset_)
            return std::nullopt;
        return *size_ - offset_;
    }

private:
    platform::ReadOnlyFile file_;
    std::optional<std::uint64_t> size_;
    std::uint64_t offset_ = 0;
};

class StandardOutputSink final : public report::TextSink {
public:
    Status write(std::string_view text) override { return platform::writeStandardOutput(text); }
};

class DirectSink final : public report::TextSink {
public:
    explicit DirectSink(platform::DirectOutput& output) : output_(output) {}
    Status write(std::string_view text) override { return output_.write(text); }

private:
    platform::DirectOutput& output_;
};

class ReplacementSink final : public report::TextSink {
public:
    explicit ReplacementSink(ReplacementFile& file) : file_(file) {}
    Status write(std::string_view text) override { return file_.write(text); }

private:
    ReplacementFile& file_;
};

} // namespace

Result<std::unique_ptr<report::ChunkSource>> openChunkSource(const std::string& path) {
    Result<platform::ReadOnlyFile> file = platform::ReadOnlyFile::open(path);
    if (!file)
        return file.failure();
    std::optional<std::uint64_t> size;
    if (Result<platform::FileStatus> status = file->status(); status && status->size >= 0)
        size = static_cast<std::uint64_t>(status->size);
    return std::unique_ptr<report::ChunkSource>(
        std::make_unique<FileChunkSource>(std::move(file.value()), size));
}

Result<std::string> readTextFile(const std::string& path, std::size_t sizeLimit) {
    Result<std::vector<std::uint8_t>> bytes = platform::readWholeFile(path, sizeLimit);
    if (!bytes)
        return bytes.failure();
    return std::string(bytes->begin(), bytes->end());
}

Status writeThroughSink(const std::string& path, const ProtectedRoots& protectedRoots,
                        const std::function<Status(report::TextSink&)>& produce) {
    if (path == "-") {
        StandardOutputSink sink;
        return produce(sink);
    }
    // A pipe, a terminal or a device is no file to replace: the text goes into it as it is.
    Result<std::optional<platform::DirectOutput>> direct = platform::DirectOutput::open(path);
    if (!direct)
        return direct.failure();
    if (*direct) {
        DirectSink sink(**direct);
        if (Status written = produce(sink); !written)
            return written;
        return (*direct)->close();
    }
    Result<ReplacementFile> file = openExportTarget(path, protectedRoots);
    if (!file)
        return file.failure();
    ReplacementSink sink(file.value());
    if (Status written = produce(sink); !written)
        return written;
    return file->commit();
}

} // namespace tambrel::cli
