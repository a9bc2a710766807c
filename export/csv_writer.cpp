#include "export/csv_writer.h"

#include "common/csv_field.h"
#include "export/overlapped_writer.h"
#include "platform/export/replacement_file.h"
#include "platform/text/ansi_text.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <span>
#include <string>

namespace tambrel {
namespace {

// Lines are gathered to this size before each write: measured best, since the chunk being
// filled and the one being written both stay in the processors' caches (4 MiB took twice as
// long).
constexpr std::size_t kChunkBytes = std::size_t{1} << 20;

using LineTexts = std::array<std::string_view, kCsvFields>;

// How the file's text is encoded. The ANSI code page is what other programs of the system
// expect; a name it cannot hold would come out as "?" and name a file that is not there, so
// then the whole file is UTF-8 with a byte-order mark, which they recognise.
enum class TextForm { AsIs, AnsiCodePage, Utf8WithMark };

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

bool isAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

bool ansiCanHold(std::string_view text) {
    return isAscii(text) || platform::toAnsiCodePage(text).has_value();
}

// One pass over the rows before anything is written, since the choice covers the whole file.
Result<TextForm> textFormFor(const CsvRowSource& rows, std::string_view header) {
    if (platform::ansiCodePageIsProgramText())
        return TextForm::AsIs;
    if (!ansiCanHold(header))
        return TextForm::Utf8WithMark;
    bool allAscii = isAscii(header);
    LineTexts texts;
    const std::int64_t count = rows.csvRowCount();
    for (std::int64_t row = 0; row < count; ++row) {
        if (Status read = rows.csvRowTexts(row, texts); !read)
            return read.failure();
        for (std::string_view text : texts) {
            if (isAscii(text))
                continue;
            if (!platform::toAnsiCodePage(text))
                return TextForm::Utf8WithMark;
            allAscii = false;
        }
    }
    return allAscii ? TextForm::AsIs : TextForm::AnsiCodePage;
}

// The line at [start, end) in the ANSI code page, in place: no character is longer there than
// in UTF-8. Returns the new end.
char* toAnsiInPlace(char* start, char* end) {
    const std::string_view line(start, static_cast<std::size_t>(end - start));
    if (isAscii(line))
        return end;
    const std::optional<std::string> ansi = platform::toAnsiCodePage(line);
    if (!ansi || ansi->size() > line.size())
        return end; // checked beforehand; cannot happen
    return std::copy(ansi->begin(), ansi->end(), start);
}

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

Status writeRowsAsCsv(const CsvRowSource& rows, std::string_view header, ReplacementFile file) {
    const Result<TextForm> form = textFormFor(rows, header);
    if (!form)
        return form.failure();
    const bool toAnsi = form.value() == TextForm::AnsiCodePage;

    // Declared after the file, so a write still running ends before the file is discarded.
    OverlappedWriter writer(file, kChunkBytes);
    std::string headerLine;
    if (form.value() == TextForm::Utf8WithMark)
        headerLine.append(kUtf8Mark);
    headerLine.append(toAnsi ? platform::toAnsiCodePage(header).value_or(std::string(header))
                             : std::string(header));
    headerLine.append("\r\n");
    if (Status written = writer.writeNow(headerLine); !written)
        return written;

    LineTexts texts;
    std::size_t used = 0;
    const std::int64_t count = rows.csvRowCount();
    for (std::int64_t row = 0; row < count; ++row) {
        if (Status read = rows.csvRowTexts(row, texts); !read)
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
            char* end = writeCsvLine(texts, line.data());
            if (toAnsi)
                end = toAnsiInPlace(line.data(), end);
            line.resize(static_cast<std::size_t>(end - line.data()));
            if (Status written = writer.writeNow(line); !written)
                return written;
            continue;
        }
        char* end = writeCsvLine(texts, writer.chunk() + used);
        if (toAnsi)
            end = toAnsiInPlace(writer.chunk() + used, end);
        used = static_cast<std::size_t>(end - writer.chunk());
    }
    if (Status written = writer.submit(used); !written)
        return written;
    if (Status written = writer.finish(); !written)
        return written;
    return file.commit();
}

} // namespace tambrel
