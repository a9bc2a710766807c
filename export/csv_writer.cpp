#include "export/csv_writer.h"

#include "common/csv_field.h"
#include "export/overlapped_writer.h"
#include "export/replacement_file.h"
#include "inventory/describe_file.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <span>
#include <string>

namespace tambrel {
namespace {

constexpr auto& kLineKeys = kFileRowKeys;

// Lines are gathered to this size before each write: measured best, since the chunk being
// filled and the one being written both stay in the processors' caches (4 MiB took twice as
// long).
constexpr std::size_t kChunkBytes = std::size_t{1} << 20;

using LineTexts = std::array<std::string_view, kLineKeys.size()>;

// The line's cells of `row`: views into the grid where it gives them, otherwise copies read
// cell by cell into `held`.
Status readLine(const Grid& grid, std::int32_t row, std::span<const std::int32_t> columns,
                LineTexts& texts, std::array<std::string, kLineKeys.size()>& held) {
    const Status viewed = grid.ViewCells(row, columns, texts);
    if (viewed || viewed.failure().code != ENOTSUP)
        return viewed;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        Result<std::string> cell = grid.Cell(row, columns[i]);
        if (!cell)
            return cell.failure();
        held[i] = std::move(cell.value());
        texts[i] = held[i];
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

// At worst every byte a doubled quote, every field quoted, the commas and CR LF.
std::size_t longestCsvLine(std::span<const std::string_view> texts) {
    std::size_t bytes = texts.size() * 3 + 2;
    for (std::string_view text : texts)
        bytes += 2 * text.size();
    return bytes;
}

// Cells that lie side by side in the grid's storage, as a row's cells do, are checked
// for quoting in one pass; only a row that holds a special byte is looked at field by field.
char* writeCsvLine(std::span<const std::string_view> texts, char* out) {
    bool adjacent = true;
    std::size_t total = texts[0].size();
    for (std::size_t i = 1; i < texts.size(); ++i) {
        adjacent = adjacent && texts[i - 1].data() + texts[i - 1].size() == texts[i].data();
        total += texts[i].size();
    }
    const bool mayNeedQuotes =
        !adjacent || needsCsvQuoting(std::string_view(texts[0].data(), total));
    for (std::size_t i = 0; i < texts.size(); ++i) {
        if (i > 0)
            *out++ = ',';
        const std::string_view text = texts[i];
        if (mayNeedQuotes && needsCsvQuoting(text)) {
            const std::string field = csvField(text);
            out = std::copy(field.begin(), field.end(), out);
        } else if (!text.empty()) {
            std::memcpy(out, text.data(), text.size());
            out += text.size();
        }
    }
    *out++ = '\r';
    *out++ = '\n';
    return out;
}

void appendCsvLine(std::string& text, std::span<const std::string_view> texts) {
    const std::size_t start = text.size();
    text.resize(start + longestCsvLine(texts));
    char* end = writeCsvLine(texts, text.data() + start);
    text.resize(static_cast<std::size_t>(end - text.data()));
}

Status writeGridAsCsv(const Grid& grid, std::string_view header, ReplacementFile file) {
    // The grid cannot change while the export runs, so each key is looked up once.
    std::array<std::int32_t, kLineKeys.size()> columns{};
    for (std::size_t i = 0; i < kLineKeys.size(); ++i)
        columns[i] = grid.ColIndex(kLineKeys[i]);

    FileSizeSignalIgnored fileSizeSignal;
    // Declared after the file, so a write still running ends before the file is discarded.
    OverlappedWriter writer(file, kChunkBytes);
    std::string headerLine(header);
    headerLine.append("\r\n");
    if (Status written = writer.writeNow(headerLine); !written)
        return written;

    LineTexts texts;
    std::array<std::string, kLineKeys.size()> held;
    std::size_t used = 0;
    const std::int32_t rows = grid.Rows();
    for (std::int32_t row = 1; row < rows; ++row) {
        if (Status read = readLine(grid, row, columns, texts, held); !read)
            return read;
        const std::size_t longest = longestCsvLine(texts);
        if (used + longest > writer.capacity()) {
            if (Status written = writer.submit(used); !written)
                return written;
            used = 0;
        }
        if (longest > writer.capacity()) {
            // A line longer than a chunk (cells of megabytes): built on its own.
            std::string line(longest, '\0');
            line.resize(static_cast<std::size_t>(writeCsvLine(texts, line.data()) - line.data()));
            if (Status written = writer.writeNow(line); !written)
                return written;
            continue;
        }
        used =
            static_cast<std::size_t>(writeCsvLine(texts, writer.chunk() + used) - writer.chunk());
    }
    if (Status written = writer.submit(used); !written)
        return written;
    if (Status written = writer.finish(); !written)
        return written;
    return file.commit();
}

} // namespace tambrel
