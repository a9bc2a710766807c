#include "report/window_export_reader.h"

#include "report/input_errors.h"

#include <array>
#include <charconv>
#include <cstdint>
#include <string>
#include <vector>

namespace tambrel::report {
namespace {

constexpr std::size_t kLongestLine = 256 * 1024;
constexpr std::size_t kCells = 5;

// Gives the source's lines one at a time, with their place, and says whether each had its end.
class LineReader {
public:
    LineReader(ChunkSource& source) : source_(source) {}

    // False at the end of the input or on a failure (status()).
    bool next(std::string& line, bool& ended) {
        for (;;) {
            const std::size_t end = pending_.find('\n', begin_ + scanned_);
            if (end != std::string::npos) {
                line.assign(pending_, begin_, end - begin_);
                begin_ = end + 1;
                scanned_ = 0;
                ended = true;
                return take(line);
            }
            scanned_ = pending_.size() - begin_;
            if (scanned_ > kLongestLine) {
                failure_ = "a line is longer than " + std::to_string(kLongestLine) + " bytes";
                return false;
            }
            if (finished_) {
                if (scanned_ == 0)
                    return false;
                line.assign(pending_, begin_);
                begin_ = pending_.size();
                scanned_ = 0;
                ended = false;
                return take(line);
            }
            pending_.erase(0, begin_);
            begin_ = 0;
            const std::size_t held = pending_.size();
            pending_.resize(held + 16 * 1024);
            Result<std::size_t> read = source_.read(std::span<char>(pending_).subspan(held));
            if (!read) {
                status_ = read.failure();
                return false;
            }
            pending_.resize(held + *read);
            finished_ = *read == 0;
        }
    }

    const Status& status() const { return status_; }
    const std::string& failure() const { return failure_; }
    TextPlace place() const { return {number_ == 0 ? 1 : number_, 1, lineStart_}; }

private:
    bool take(std::string& line) {
        ++number_;
        lineStart_ = offset_;
        offset_ += line.size() + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        return true;
    }

    ChunkSource& source_;
    std::string pending_;
    std::size_t begin_ = 0;
    std::size_t scanned_ = 0;
    bool finished_ = false;
    std::uint64_t number_ = 0;
    std::uint64_t offset_ = 0;
    std::uint64_t lineStart_ = 0;
    Status status_;
    std::string failure_;
};

// Splits a data line into cells. Returns false with a message for a line of any other shape.
bool splitCells(std::string_view line, std::array<std::string, kCells>& cells,
                std::string& message) {
    std::vector<std::string> fields;
    bool quoted = false;
    std::size_t at = 0;
    for (;;) {
        std::string field;
        if (at < line.size() && line[at] == '"') {
            quoted = true;
            ++at;
            for (;;) {
                if (at >= line.size()) {
                    message = "a quoted cell has no closing quote";
                    return false;
                }
                if (line[at] == '"') {
                    if (at + 1 < line.size() && line[at + 1] == '"') {
                        field.push_back('"');
                        at += 2;
                        continue;
                    }
                    ++at;
                    break;
                }
                field.push_back(line[at++]);
            }
            if (at < line.size() && line[at] != ',') {
                message = "text follows a quoted cell's closing quote";
                return false;
            }
        } else {
            const std::size_t comma = line.find(',', at);
            field.assign(line.substr(at, comma == std::string_view::npos ? line.npos : comma - at));
            at = comma == std::string_view::npos ? line.size() : comma;
        }
        fields.push_back(std::move(field));
        if (at >= line.size())
            break;
        ++at; // the comma
    }
    if (fields.size() > kCells && !quoted) {
        // Exports of old wrote a path's commas bare: the path is everything between the first
        // cell and the last three.
        std::string path = fields[1];
        for (std::size_t i = 2; i + 3 < fields.size(); ++i)
            path.append(",").append(fields[i]);
        fields = {fields[0], path, fields[fields.size() - 3], fields[fields.size() - 2],
                  fields.back()};
    }
    if (fields.size() != kCells) {
        message = "a line has " + std::to_string(fields.size()) + " cells where the export has 5";
        return false;
    }
    for (std::size_t i = 0; i < kCells; ++i)
        cells[i] = std::move(fields[i]);
    return true;
}

// Sign-position decimal: a blank before a number from zero up, "-" before a negative one.
std::optional<std::int64_t> signPositionNumber(std::string_view text) {
    if (text.size() < 2 || (text[0] != ' ' && text[0] != '-'))
        return std::nullopt;
    std::int64_t value = 0;
    const char* begin = text.data() + 1;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(begin, end, value);
    if (error != std::errc() || stop != end || *begin == '-' || *begin == '+')
        return std::nullopt;
    return text[0] == '-' ? -value : value;
}

bool isHeader(std::string_view line) {
    std::size_t cells = 1;
    for (std::size_t at = line.find(", "); at != std::string_view::npos;
         at = line.find(", ", at + 2))
        ++cells;
    return cells == kCells;
}

} // namespace

Status readWindowExport(ChunkSource& source, std::string_view name, ListKind list, RowSink& rows) {
    LineReader lines(source);
    std::string line;
    bool ended = false;
    const auto failed = [&](std::string_view message) -> Status {
        if (!lines.status())
            return lines.status();
        return inputFailure(kMalformedDocument, name, lines.place(), message);
    };
    if (!lines.next(line, ended))
        return failed(lines.failure().empty() ? "the file is empty: the export writes a header"
                                              : lines.failure());
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    if (line.starts_with(kByteOrderMark))
        line.erase(0, kByteOrderMark.size());
    if (!isHeader(line))
        return failed("the first line is not the export's header (five names joined by \", \")");
    std::array<std::string, kCells> cells;
    std::string message;
    while (lines.next(line, ended)) {
        if (!ended)
            return failed("the last line has no line end: the file was cut short");
        if (!splitCells(line, cells, message))
            return failed(message);
        InventoryRow row;
        row.list = list;
        if (cells[0].empty() || cells[1].empty())
            return failed("a line without codec or file name");
        row.codec = std::move(cells[0]);
        row.file = std::move(cells[1]);
        const std::optional<std::int64_t> rate = signPositionNumber(cells[2]);
        if (!rate || *rate < INT32_MIN || *rate > INT32_MAX)
            return failed("the sample rate \"" + cells[2] + "\" is not a 32-bit number");
        // The window shows a rate with its top bit set as a negative number.
        row.sampleRate = static_cast<std::uint32_t>(static_cast<std::int32_t>(*rate));
        if (cells[3].empty())
            return failed("a line without its date");
        row.modifiedText = std::move(cells[3]);
        const std::optional<std::int64_t> size = signPositionNumber(cells[4]);
        if (!size || *size < 0)
            return failed("the file size \"" + cells[4] + "\" is not a number of bytes");
        row.size = static_cast<std::uint64_t>(*size);
        rows.add(std::move(row));
    }
    if (!lines.status() || !lines.failure().empty())
        return failed(lines.failure());
    return {};
}

Result<InventoryDocument> readWindowExportPair(ChunkSource& greetings,
                                               std::string_view greetingsName, ChunkSource& prompts,
                                               std::string_view promptsName) {
    InventoryDocument document;
    document.name = std::string(greetingsName) + " + " + std::string(promptsName);
    document.form = DocumentForm::WindowExport;
    document.header.lists = {ListKind::Greetings, ListKind::Prompts};
    RowVector sink(document.rows);
    if (Status status = readWindowExport(greetings, greetingsName, ListKind::Greetings, sink);
        !status)
        return status.failure();
    if (Status status = readWindowExport(prompts, promptsName, ListKind::Prompts, sink); !status)
        return status.failure();
    return document;
}

} // namespace tambrel::report
