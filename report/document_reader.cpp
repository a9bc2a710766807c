#include "report/document_reader.h"

#include "report/input_errors.h"
#include "report/json_text.h"
#include "report/modification_time.h"
#include "report/source_stream.h"
#include "report/window_export_reader.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <rapidjson/error/en.h>
#include <rapidjson/reader.h>
#include <string>
#include <thread>

namespace tambrel::report {
namespace {

// The parser's own stack holds one decoded string at a time; past this it is refused, so a
// hostile gigabyte-long string costs no gigabyte.
constexpr std::size_t kParserStackLimit = 2 * kLongestString + 4096;

struct ParserStackExhausted {};

class BoundedAllocator {
public:
    [[maybe_unused]] static const bool kNeedFree = true; // of the allocator concept
    void* Malloc(std::size_t size) { return Realloc(nullptr, 0, size); }
    void* Realloc(void* original, std::size_t, std::size_t newSize) {
        if (newSize == 0) {
            std::free(original);
            return nullptr;
        }
        if (newSize > kParserStackLimit)
            throw ParserStackExhausted{};
        void* grown = std::realloc(original, newSize);
        if (!grown)
            throw std::bad_alloc();
        return grown;
    }
    static void Free(void* block) { std::free(block); }
};

enum class HeaderMember : std::uint8_t {
    Schema,
    SchemaVersion,
    Host,
    ScannedAt,
    ToolVersion,
    ServerVersion,
    Root,
    Lists,
    Rows,
    Count
};
constexpr std::array<std::string_view, static_cast<std::size_t>(HeaderMember::Count)> kHeaderNames =
    {"schema",         "schema_version", "host",  "scanned_at", "tool_version",
     "server_version", "root",           "lists", "rows"};

enum class RowMember : std::uint8_t {
    List,
    File,
    Codec,
    FormatTag,
    FormatName,
    SubFormatTag,
    SampleRate,
    Channels,
    BitsPerSample,
    BlockAlign,
    ByteRate,
    DataBytes,
    DurationSeconds,
    Size,
    Modified,
    Problem,
    ProblemText,
    RowCount, // only in the last line of JSON Lines
    Count
};
constexpr std::array<std::string_view, static_cast<std::size_t>(RowMember::Count)> kRowNames = {
    "list",
    "file",
    "codec",
    "format_tag",
    "format_name",
    "sub_format_tag",
    "sample_rate",
    "channels",
    "bits_per_sample",
    "block_align",
    "byte_rate",
    "data_bytes",
    "duration_seconds",
    "size",
    "modified",
    "problem",
    "problem_text",
    "row_count"};

constexpr std::uint32_t kUnknownMember = 0xFF;

// Rows between two additions to a RowProgress: often enough for a count redrawn a few times a
// second, rarely enough that the threads reading never contend for it.
constexpr std::uint64_t kProgressStep = 4096;

// A row's member by its name's length and first letter, which tell every name apart, then one
// comparison: a row has eighteen members and a document a million rows.
std::uint32_t rowMemberOf(std::string_view key) {
    const auto is = [&](RowMember member) {
        const std::string_view name = kRowNames[static_cast<std::size_t>(member)];
        return key.size() == name.size() && std::memcmp(key.data(), name.data(), name.size()) == 0
                   ? static_cast<std::uint32_t>(member)
                   : kUnknownMember;
    };
    if (key.empty())
        return kUnknownMember;
    const char first = key.front();
    switch (key.size()) {
    case 4:
        return first == 'l'   ? is(RowMember::List)
               : first == 'f' ? is(RowMember::File)
               : first == 's' ? is(RowMember::Size)
                              : kUnknownMember;
    case 5:
        return is(RowMember::Codec);
    case 7:
        return is(RowMember::Problem);
    case 8:
        return first == 'c'   ? is(RowMember::Channels)
               : first == 'm' ? is(RowMember::Modified)
                              : kUnknownMember;
    case 9:
        return first == 'b'   ? is(RowMember::ByteRate)
               : first == 'r' ? is(RowMember::RowCount)
                              : kUnknownMember;
    case 10:
        return first == 'f'   ? is(RowMember::FormatTag)
               : first == 'd' ? is(RowMember::DataBytes)
                              : kUnknownMember;
    case 11:
        return first == 'f'   ? is(RowMember::FormatName)
               : first == 's' ? is(RowMember::SampleRate)
               : first == 'b' ? is(RowMember::BlockAlign)
                              : kUnknownMember;
    case 12:
        return is(RowMember::ProblemText);
    case 14:
        return is(RowMember::SubFormatTag);
    case 15:
        return is(RowMember::BitsPerSample);
    case 16:
        return is(RowMember::DurationSeconds);
    default:
        return kUnknownMember;
    }
}

bool isUtf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        // Eight ASCII bytes at a time: most of a document is ASCII.
        while (i + 8 <= text.size()) {
            std::uint64_t word;
            std::memcpy(&word, text.data() + i, 8);
            if (word & 0x8080808080808080u)
                break;
            i += 8;
        }
        if (i >= text.size())
            break;
        std::size_t length = utf8SequenceLength(text, i);
        // U+DC80..U+DCFF: the writers' escapes of bytes that are not UTF-8 (\udc80..\udcff),
        // which the parser has decoded; restoreEscapedBytes turns them back into the bytes.
        if (length == 0 && i + 2 < text.size() && text[i] == '\xED' &&
            (text[i + 1] == '\xB2' || text[i + 1] == '\xB3') &&
            (static_cast<unsigned char>(text[i + 2]) & 0xC0) == 0x80)
            length = 3;
        if (length == 0)
            return false;
        i += length;
    }
    return true;
}

// The handler that takes the parser's events. Where it is, in which object, which members that
// object has had, and the row being filled; the first fault is kept as a message.
class DocumentHandler : public rapidjson::BaseReaderHandler<rapidjson::UTF8<>, DocumentHandler> {
public:
    enum class Place { Start, Header, Lists, Rows, Row, Done };

    DocumentHandler(RowSink& sink, RowProgress* progress) : sink_(sink), progress_(progress) {}

    // JSON Lines: each line after the header is one object on its own.
    void expectLine() {
        place_ = Place::Rows;
        lineMode_ = true;
    }

    bool StartObject() {
        if (skipping_)
            return nest();
        switch (place_) {
        case Place::Start:
            place_ = Place::Header;
            seen_ = 0;
            return true;
        case Place::Rows:
            place_ = Place::Row;
            seen_ = 0;
            row_ = nullptr;
            return true;
        default:
            return wrongValue("an object");
        }
    }

    bool EndObject(rapidjson::SizeType) {
        if (skipping_)
            return unnest();
        if (place_ == Place::Header)
            return endHeader();
        if (place_ == Place::Row)
            return endRow();
        return fail("an object ends where none began");
    }

    bool StartArray() {
        if (skipping_)
            return nest();
        if (place_ == Place::Header && member_ == static_cast<std::uint32_t>(HeaderMember::Lists)) {
            place_ = Place::Lists;
            return true;
        }
        if (place_ == Place::Header && member_ == static_cast<std::uint32_t>(HeaderMember::Rows)) {
            place_ = Place::Rows;
            hasRows_ = true;
            return true;
        }
        return wrongValue("an array");
    }

    bool EndArray(rapidjson::SizeType) {
        if (skipping_)
            return unnest();
        if ((place_ == Place::Lists || place_ == Place::Rows) && !lineMode_) {
            place_ = Place::Header;
            return true;
        }
        return fail("an array ends where none began");
    }

    bool Key(const char* text, rapidjson::SizeType length, bool) {
        const std::string_view key(text, length);
        if (skipping_)
            return isUtf8(key) || fail("a member name is not UTF-8");
        if (place_ == Place::Header)
            member_ = find(kHeaderNames, key, expectedHeader_);
        else
            member_ = rowMemberOf(key);
        if (member_ == kUnknownMember) {
            if (!isUtf8(key))
                return fail("a member name is not UTF-8");
            skipping_ = true;
            skipDepth_ = 0;
            return true;
        }
        const std::uint32_t bit = std::uint32_t{1} << member_;
        if (seen_ & bit)
            return fail("the member \"" + std::string(key) + "\" appears twice in one object");
        seen_ |= bit;
        // The row is taken from the sink at its first member: the last line of JSON Lines is
        // an object too, but not a row.
        if (place_ == Place::Row && !row_ &&
            member_ != static_cast<std::uint32_t>(RowMember::RowCount))
            row_ = &sink_.startRow();
        return true;
    }

    bool String(const char* text, rapidjson::SizeType length, bool) {
        if (length > kLongestString)
            return fail("a string is longer than " + std::to_string(kLongestString) + " bytes");
        std::string_view value(text, length);
        if (!isUtf8(value))
            return fail("a string is not UTF-8 (or escapes a lone surrogate)");
        if (skipping_)
            return skipped();
        std::string decoded;
        if (value.find('\xED') != std::string_view::npos) {
            restoreEscapedBytes(value, decoded);
            value = decoded;
        }
        if (place_ == Place::Lists)
            return addList(value);
        if (place_ == Place::Header)
            return headerString(value);
        if (place_ == Place::Row)
            return rowString(value);
        return wrongValue("a string");
    }

    bool Uint64(std::uint64_t value) {
        if (skipping_)
            return skipped();
        if (place_ == Place::Header &&
            member_ == static_cast<std::uint32_t>(HeaderMember::SchemaVersion)) {
            if (value == 0 || value > DocumentHeader::kSchemaVersion)
                return fail("schema version " + std::to_string(value) +
                            " is not one this tool reads (" +
                            std::to_string(DocumentHeader::kSchemaVersion) + ")");
            header_.schemaVersion = static_cast<std::uint32_t>(value);
            return true;
        }
        if (place_ == Place::Row)
            return rowNumber(value);
        return wrongValue("a number");
    }
    bool Uint(unsigned value) { return Uint64(value); }
    bool Int(int value) { return value < 0 ? negative() : Uint64(static_cast<unsigned>(value)); }
    bool Int64(std::int64_t value) {
        return value < 0 ? negative() : Uint64(static_cast<std::uint64_t>(value));
    }
    bool Double(double value) {
        if (skipping_)
            return skipped();
        if (place_ == Place::Row &&
            member_ == static_cast<std::uint32_t>(RowMember::DurationSeconds) && value >= 0 &&
            value < 1e15) {
            row_->durationSeconds = value;
            return true;
        }
        return wrongValue("a fractional number");
    }
    bool Null() {
        if (skipping_)
            return skipped();
        if (place_ == Place::Header &&
            member_ != static_cast<std::uint32_t>(HeaderMember::Schema) &&
            member_ != static_cast<std::uint32_t>(HeaderMember::SchemaVersion) &&
            member_ != static_cast<std::uint32_t>(HeaderMember::Lists) &&
            member_ != static_cast<std::uint32_t>(HeaderMember::Rows))
            return true;
        if (place_ == Place::Row && member_ != static_cast<std::uint32_t>(RowMember::List) &&
            member_ != static_cast<std::uint32_t>(RowMember::File) &&
            member_ != static_cast<std::uint32_t>(RowMember::RowCount))
            return true; // the member's value stays unknown
        return wrongValue("null");
    }
    bool Bool(bool) {
        if (skipping_)
            return skipped();
        return wrongValue("true or false");
    }

    const std::string& message() const { return message_; }
    Place place() const { return place_; }
    bool hasRows() const { return hasRows_; }
    bool sawTrailer() const { return sawTrailer_; }
    DocumentHeader& header() { return header_; }
    std::uint64_t rowsRead() const { return rowsRead_; }

private:
    template <std::size_t N>
    std::uint32_t find(const std::array<std::string_view, N>& names, std::string_view key,
                       std::uint32_t& expected) {
        // Writers give members in one order, so the next expected name is tried first.
        if (expected < N && names[expected] == key)
            return expected++;
        for (std::uint32_t i = 0; i < N; ++i)
            if (names[i] == key) {
                expected = i + 1;
                return i;
            }
        return kUnknownMember;
    }

    static void restoreEscapedBytes(std::string_view value, std::string& out) {
        out.reserve(value.size());
        for (std::size_t i = 0; i < value.size(); ++i) {
            const auto c = static_cast<unsigned char>(value[i]);
            // isUtf8 has let through no other surrogate than U+DC80..U+DCFF.
            if (c != 0xED || i + 2 >= value.size() ||
                static_cast<unsigned char>(value[i + 1]) < 0xA0) {
                out.push_back(value[i]);
                continue;
            }
            const auto second = static_cast<unsigned char>(value[i + 1]);
            const auto third = static_cast<unsigned char>(value[i + 2]);
            out.push_back(static_cast<char>(0x80 + ((second - 0xB2) << 6) + (third - 0x80)));
            i += 2;
        }
    }

    bool nest() {
        if (++skipDepth_ > kDeepestNesting)
            return fail("members nest deeper than " + std::to_string(kDeepestNesting) + " levels");
        return true;
    }
    bool unnest() {
        if (--skipDepth_ == 0)
            skipping_ = false;
        return true;
    }
    bool skipped() {
        if (skipDepth_ == 0)
            skipping_ = false;
        return true;
    }

    bool fail(std::string message) {
        if (message_.empty())
            message_ = std::move(message);
        return false;
    }

    std::string_view memberName() const {
        if (place_ == Place::Header || place_ == Place::Lists)
            return member_ < kHeaderNames.size() ? kHeaderNames[member_] : "";
        return member_ < kRowNames.size() ? kRowNames[member_] : "";
    }

    bool wrongValue(std::string_view what) {
        switch (place_) {
        case Place::Start:
            return fail("a document begins with an object, not " + std::string(what));
        case Place::Rows:
            return fail("each row is an object, not " + std::string(what));
        case Place::Lists:
            return fail("\"lists\" holds list names, not " + std::string(what));
        default:
            return fail("the member \"" + std::string(memberName()) + "\" cannot be " +
                        std::string(what));
        }
    }

    bool negative() {
        if (skipping_)
            return skipped();
        return wrongValue("negative");
    }

    bool addList(std::string_view value) {
        const std::optional<ListKind> list = listFromName(value);
        if (!list)
            return fail("\"" + std::string(value) + "\" is not a list (greetings or prompts)");
        header_.lists.push_back(*list);
        return true;
    }

    bool headerString(std::string_view value) {
        switch (static_cast<HeaderMember>(member_)) {
        case HeaderMember::Schema:
            if (value != "tambrel-inventory")
                return fail("not an inventory document (schema \"" + std::string(value) + "\")");
            return true;
        case HeaderMember::Host:
            header_.host = value;
            return true;
        case HeaderMember::ScannedAt:
            header_.scannedAt = value;
            return true;
        case HeaderMember::ToolVersion:
            header_.toolVersion = value;
            return true;
        case HeaderMember::ServerVersion:
            header_.serverVersion = value;
            return true;
        case HeaderMember::Root:
            header_.root = value;
            return true;
        default:
            return wrongValue("a string");
        }
    }

    bool endHeader() {
        constexpr std::uint32_t required = (1u << static_cast<int>(HeaderMember::Schema)) |
                                           (1u << static_cast<int>(HeaderMember::SchemaVersion));
        if ((seen_ & required) != required)
            return fail("the header lacks \"schema\" or \"schema_version\"");
        place_ = Place::Done;
        return true;
    }

    bool rowString(std::string_view value) {
        switch (static_cast<RowMember>(member_)) {
        case RowMember::List: {
            const std::optional<ListKind> list = listFromName(value);
            if (!list)
                return fail("\"" + std::string(value) + "\" is not a list (greetings or prompts)");
            row_->list = *list;
            return true;
        }
        case RowMember::File:
            if (value.empty())
                return fail("the member \"file\" is empty");
            row_->file = value;
            return true;
        case RowMember::Codec:
            row_->codec = std::string(value);
            return true;
        case RowMember::FormatName:
            row_->formatName = value;
            return true;
        case RowMember::Modified:
            if (const std::optional<ModificationTime> time = parseIsoTime(value))
                row_->modified = time;
            else
                row_->modifiedText = value;
            return true;
        case RowMember::Problem:
            row_->problem = value;
            return true;
        case RowMember::ProblemText:
            row_->problemText = value;
            return true;
        default:
            return wrongValue("a string");
        }
    }

    bool rowNumber(std::uint64_t value) {
        const auto small = [&](std::optional<std::uint32_t>& into, std::uint64_t limit) {
            if (value > limit)
                return fail("the member \"" + std::string(memberName()) + "\" is above " +
                            std::to_string(limit));
            into = static_cast<std::uint32_t>(value);
            return true;
        };
        switch (static_cast<RowMember>(member_)) {
        case RowMember::FormatTag:
            return small(row_->formatTag, 0xFFFF);
        case RowMember::SubFormatTag:
            return small(row_->subFormatTag, 0xFFFF);
        case RowMember::SampleRate:
            return small(row_->sampleRate, 0xFFFFFFFF);
        case RowMember::Channels:
            return small(row_->channels, 0xFFFF);
        case RowMember::BitsPerSample:
            return small(row_->bitsPerSample, 0xFFFF);
        case RowMember::BlockAlign:
            return small(row_->blockAlign, 0xFFFF);
        case RowMember::ByteRate:
            return small(row_->byteRate, 0xFFFFFFFF);
        case RowMember::DataBytes:
            row_->dataBytes = value;
            return true;
        case RowMember::Size:
            row_->size = value;
            return true;
        case RowMember::DurationSeconds:
            row_->durationSeconds = static_cast<double>(value);
            return true;
        case RowMember::RowCount:
            trailerCount_ = value;
            return true;
        default:
            return wrongValue("a number");
        }
    }

    bool endRow() {
        constexpr std::uint32_t trailer = 1u << static_cast<int>(RowMember::RowCount);
        if (seen_ & trailer) {
            if (!lineMode_ || seen_ != trailer)
                return fail("\"row_count\" stands alone in the last line of JSON Lines");
            if (trailerCount_ != rowsRead_)
                return fail("the document says it holds " + std::to_string(trailerCount_) +
                            " rows, but " + std::to_string(rowsRead_) + " were read");
            sawTrailer_ = true;
            place_ = Place::Done;
            return true;
        }
        constexpr std::uint32_t required =
            (1u << static_cast<int>(RowMember::List)) | (1u << static_cast<int>(RowMember::File));
        if ((seen_ & required) != required)
            return fail("a row lacks \"list\" or \"file\"");
        sink_.endRow();
        if (++rowsRead_ % kProgressStep == 0 && progress_)
            progress_->fetch_add(kProgressStep, std::memory_order_relaxed);
        place_ = lineMode_ ? Place::Done : Place::Rows;
        return true;
    }

    RowSink& sink_;
    Place place_ = Place::Start;
    bool lineMode_ = false;
    bool hasRows_ = false;
    bool sawTrailer_ = false;
    bool skipping_ = false;
    std::size_t skipDepth_ = 0;
    std::uint32_t member_ = kUnknownMember;
    std::uint32_t seen_ = 0;
    std::uint32_t expectedHeader_ = 0;
    std::uint64_t trailerCount_ = 0;
    std::uint64_t rowsRead_ = 0;
    DocumentHeader header_;
    InventoryRow* row_ = nullptr;
    RowProgress* progress_ = nullptr;
    std::string message_;
};

void skipBlanks(SourceStream& stream) {
    for (;;) {
        const char c = stream.Peek();
        if (c != ' ' && c != '\t' && c != '\r' && c != '\n')
            return;
        stream.Take();
    }
}

constexpr unsigned kParseFlags = rapidjson::kParseIterativeFlag | rapidjson::kParseStopWhenDoneFlag;

using Parser = rapidjson::GenericReader<rapidjson::UTF8<>, rapidjson::UTF8<>, BoundedAllocator>;

// One JSON value from the stream; a failure names the place.
Status parseOne(Parser& parser, SourceStream& stream, DocumentHandler& handler,
                std::string_view name) {
    rapidjson::ParseResult result;
    try {
        result = parser.Parse<kParseFlags>(stream, handler);
    } catch (const ParserStackExhausted&) {
        return inputFailure(kMalformedDocument, name, stream.placeOf(stream.Tell()),
                            "a string is longer than " + std::to_string(kLongestString) + " bytes");
    }
    if (!stream.readStatus())
        return stream.readStatus();
    if (!result.IsError())
        return {};
    std::string message;
    if (!handler.message().empty())
        message = handler.message();
    else if (stream.atEnd())
        message = "the document ends too early: it was cut short";
    else if (stream.Peek() == '\0' && result.Offset() == stream.Tell())
        message = "a NUL byte";
    else
        message = rapidjson::GetParseError_En(result.Code());
    return inputFailure(kMalformedDocument, name, stream.placeOf(result.Offset()), message);
}

// A source that gives `prefix` first, then the rest of `rest`: the bytes looked at to choose a
// reader are read again by it.
class PrefixedSource : public ChunkSource {
public:
    PrefixedSource(std::string prefix, ChunkSource& rest)
        : prefix_(std::move(prefix)), rest_(rest) {}
    Result<std::size_t> read(std::span<char> buffer) override {
        if (given_ < prefix_.size()) {
            const std::size_t count = std::min(buffer.size(), prefix_.size() - given_);
            std::memcpy(buffer.data(), prefix_.data() + given_, count);
            given_ += count;
            return count;
        }
        return rest_.read(buffer);
    }
    std::optional<std::uint64_t> sizeHint() const override {
        const std::optional<std::uint64_t> rest = rest_.sizeHint();
        if (!rest)
            return std::nullopt;
        return prefix_.size() - given_ + *rest;
    }

private:
    std::string prefix_;
    std::size_t given_ = 0;
    ChunkSource& rest_;
};

} // namespace

Result<InventoryDocument> streamDocument(ChunkSource& source, std::string_view name, RowSink& rows,
                                         RowProgress* progress) {
    SourceStream stream(source);
    if (!stream.readStatus())
        return stream.readStatus().failure();
    // Documents are written without a byte-order mark, but one added by an editor or a
    // shell's redirection is harmless.
    if (stream.Peek() == '\xEF') {
        stream.Take();
        if (stream.Take() != '\xBB' || stream.Take() != '\xBF')
            return inputFailure(kMalformedDocument, name, {}, "not UTF-8 at the start");
    }
    DocumentHandler handler(rows, progress);
    Parser parser(nullptr, 4096);
    if (Status header = parseOne(parser, stream, handler, name); !header)
        return header.failure();
    InventoryDocument document;
    document.name = name;
    document.form = handler.hasRows() ? DocumentForm::Json : DocumentForm::JsonLines;
    for (;;) {
        skipBlanks(stream);
        if (!stream.readStatus())
            return stream.readStatus().failure();
        if (stream.atEnd())
            break;
        if (document.form == DocumentForm::Json || handler.sawTrailer())
            return inputFailure(kMalformedDocument, name, stream.placeOf(stream.Tell()),
                                "text follows the end of the document");
        handler.expectLine();
        if (Status line = parseOne(parser, stream, handler, name); !line)
            return line.failure();
    }
    if (document.form == DocumentForm::JsonLines && !handler.sawTrailer())
        return inputFailure(kMalformedDocument, name, stream.placeOf(stream.Tell()),
                            "the last line, {\"row_count\":N}, is missing: the document was cut "
                            "short");
    document.header = std::move(handler.header());
    if (progress)
        progress->fetch_add(handler.rowsRead() % kProgressStep, std::memory_order_relaxed);
    return document;
}

Result<InventoryDocument> readDocument(ChunkSource& source, std::string_view name,
                                       RowProgress* progress) {
    std::vector<InventoryRow> rows;
    // A written row takes some 300 bytes or more; room reserved beyond the rows is never
    // touched, so it costs address space, not memory.
    constexpr std::uint64_t kSmallRowBytes = 300;
    constexpr std::uint64_t kMostRowsReserved = std::uint64_t{1} << 26;
    rows.reserve(static_cast<std::size_t>(
        std::min(source.sizeHint().value_or(0) / kSmallRowBytes, kMostRowsReserved)));
    RowVector sink(rows);
    Result<InventoryDocument> document = streamDocument(source, name, sink, progress);
    if (document)
        document->rows = std::move(rows);
    return document;
}

Result<DocumentPair> readDocumentPair(ChunkSource& earlier, std::string_view earlierName,
                                      ChunkSource& later, std::string_view laterName) {
    std::optional<Result<InventoryDocument>> laterRead;
    std::thread reader([&] { laterRead.emplace(readDocument(later, laterName)); });
    Result<InventoryDocument> earlierRead = readDocument(earlier, earlierName);
    reader.join();
    if (!earlierRead)
        return earlierRead.failure();
    if (!*laterRead)
        return laterRead->failure();
    return DocumentPair{std::move(earlierRead.value()), std::move(laterRead->value())};
}

Result<InventoryDocument> readAnyDocument(ChunkSource& source, std::string_view name,
                                          std::optional<ListKind> exportList,
                                          RowProgress* progress) {
    // Enough of the start to see past a byte-order mark and blank lines to the first character.
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    constexpr std::size_t kLongestLookAhead = 64 * 1024;
    std::string start;
    std::size_t first = std::string::npos;
    while (first == std::string::npos && start.size() < kLongestLookAhead) {
        const std::size_t held = start.size();
        start.resize(held + 4096);
        Result<std::size_t> read = source.read(std::span<char>(start).subspan(held));
        if (!read)
            return read.failure();
        start.resize(held + *read);
        if (*read == 0)
            break;
        const std::size_t skip = start.starts_with(kByteOrderMark) ? kByteOrderMark.size() : 0;
        first = start.find_first_not_of(" \t\r\n", skip);
    }
    PrefixedSource whole(start, source);
    if (first != std::string::npos && start[first] == '{')
        return readDocument(whole, name, progress);
    if (!exportList)
        return inputFailure(kMalformedDocument, name, {},
                            "not an inventory document: it does "
                            "not begin with \"{\"");
    InventoryDocument document;
    document.name = name;
    document.form = DocumentForm::WindowExport;
    document.header.lists.push_back(*exportList);
    RowVector sink(document.rows);
    if (Status status = readWindowExport(whole, name, *exportList, sink); !status)
        return status.failure();
    if (progress)
        progress->fetch_add(document.rows.size(), std::memory_order_relaxed);
    return document;
}

} // namespace tambrel::report
