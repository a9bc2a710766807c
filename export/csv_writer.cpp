#include "export/csv_writer.h"

#include "common/csv_field.h"
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
constexpr std::size_t kChunkBytes = std::size_t{1} << 20;

// A cell as a field: byte for byte, unless it would split the line (then csvField quotes it).
void appendField(std::string& buffer, std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos)
        buffer.append(text);
    else
        buffer.append(csvField(text));
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

    std::string buffer;
    buffer.reserve(kChunkBytes + 4096);
    buffer.append(header);
    buffer.append("\r\n");

    const std::int32_t rows = grid.Rows();
    for (std::int32_t row = 1; row < rows; ++row) {
        for (std::size_t i = 0; i < columns.size(); ++i) {
            Result<std::string> cell = grid.Cell(row, columns[i]);
            if (!cell)
                return cell.failure();
            if (i > 0)
                buffer.push_back(',');
            appendField(buffer, cell.value());
        }
        buffer.append("\r\n");
        if (buffer.size() >= kChunkBytes) {
            if (Status written = file->write(buffer); !written)
                return written;
            buffer.clear();
        }
    }
    if (Status written = file->write(buffer); !written)
        return written;
    return file->commit();
}

} // namespace tambrel
