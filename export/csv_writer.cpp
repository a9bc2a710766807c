#include "export/csv_writer.h"

#include "common/csv_field.h"
#include "export/overlapped_writer.h"
#include "export/replacement_file.h"

#include <array>
#include <cerrno>
#include <csignal>
#include <string>

namespace tambrel {
namespace {

// The file row's cells in the order a line holds them.
constexpr std::array<std::string_view, 5> kLineKeys = {"Codec", "FileName", "SampleRate",
                                                       "LastModified", "FileSize"};

// Lines are gathered to about this size before each write.
constexpr std::size_t kChunkBytes = std::size_t{4} << 20;

// One cell appended to the line as a field: byte for byte, unless it would split the line,
// in which case it is quoted by csvField's rule. The cell is appended before it is checked,
// which spares a string per cell for grids that hold their texts.
Status appendField(const Grid& grid, std::int32_t row, std::int32_t column, std::string& buffer) {
    const std::size_t start = buffer.size();
    if (Status read = grid.AppendCellText(row, column, buffer); !read)
        return read;
    const std::string_view text = std::string_view(buffer).substr(start);
    if (needsCsvQuoting(text)) {
        const std::string quoted = csvField(text);
        buffer.resize(start);
        buffer.append(quoted);
    }
    return {};
}

// Past RLIMIT_FSIZE the kernel kills the writer with SIGXFSZ; ignored, the write fails with
// EFBIG and the export reports it like a full disk.
class FileSizeSignalIgnored {
public:
    FileSizeSignalIgnored() { previous_ = std::signal(SIGXFSZ, SIG_IGN); }
    ~FileSizeSignalIgnored() {
        if (previous_ != SIG_ERR)
            std::signal(SIGXFSZ, previous_);
    }
    FileSizeSignalIgnored(const FileSizeSignalIgnored&) = delete;
    FileSizeSignalIgnored& operator=(const FileSizeSignalIgnored&) = delete;

private:
    void (*previous_)(int) = SIG_ERR;
};

} // namespace

Status writeGridAsCsv(const Grid& grid, std::string_view header, std::string_view hostPath) {
    // The grid cannot change while the export runs, so each key is looked up once.
    std::array<std::int32_t, kLineKeys.size()> columns{};
    for (std::size_t i = 0; i < kLineKeys.size(); ++i)
        columns[i] = grid.ColIndex(kLineKeys[i]);

    FileSizeSignalIgnored fileSizeSignal;
    Result<ReplacementFile> file = ReplacementFile::create(hostPath);
    if (!file)
        return file.failure();

    // Declared after the file, so a write still running ends before the file is discarded.
    OverlappedWriter writer(*file);
    std::string buffer;
    buffer.reserve(kChunkBytes + 4096);
    buffer.append(header);
    buffer.append("\r\n");

    const std::int32_t rows = grid.Rows();
    for (std::int32_t row = 1; row < rows; ++row) {
        for (std::size_t i = 0; i < columns.size(); ++i) {
            if (i > 0)
                buffer.push_back(',');
            if (Status read = appendField(grid, row, columns[i], buffer); !read)
                return read;
        }
        buffer.append("\r\n");
        if (buffer.size() >= kChunkBytes) {
            if (Status written = writer.submit(buffer); !written)
                return written;
        }
    }
    if (Status written = writer.submit(buffer); !written)
        return written;
    if (Status written = writer.finish(); !written)
        return written;
    return file->commit();
}

} // namespace tambrel
