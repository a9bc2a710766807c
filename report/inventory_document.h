// An inventory as a document: who scanned which server when, and one plain row per file with
// the facts its header and status gave. Written by one run and read by a later one, on the same
// machine or another, so every member may be absent and nothing refers to the scan's own types.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tambrel::report {

enum class ListKind : std::uint8_t { Greetings, Prompts };

// "greetings" or "prompts", the names documents, rules and tables use.
std::string_view listName(ListKind list);
std::optional<ListKind> listFromName(std::string_view name);

// A moment as the document's "modified" member gives it: seconds since 1970 in UTC, and the
// offset of the local time it was written in, so that it is written back the same way.
struct ModificationTime {
    std::int64_t utcSeconds = 0;
    std::int32_t offsetMinutes = 0;
    friend bool operator==(const ModificationTime&, const ModificationTime&) = default;
};

struct InventoryRow {
    ListKind list = ListKind::Greetings;
    std::string file;                       // the path as the window shows it
    std::optional<std::string> codec;       // the window's Codec text; none for an unreadable file
    std::optional<std::uint32_t> formatTag; // unsigned: 65534 for the extensible form
    std::string formatName;                 // language-neutral; empty when none
    std::optional<std::uint32_t> subFormatTag;
    std::optional<std::uint32_t> sampleRate;
    std::optional<std::uint32_t> channels;
    std::optional<std::uint32_t> bitsPerSample;
    std::optional<std::uint32_t> blockAlign;
    std::optional<std::uint32_t> byteRate;
    std::optional<std::uint64_t> dataBytes;
    std::optional<double> durationSeconds;
    std::optional<std::uint64_t> size;
    std::optional<ModificationTime> modified;
    // The date as the window's CSV export shows it (regional short date), where no moment is
    // known; empty otherwise.
    std::string modifiedText;
    std::string problem; // the stable problem code; empty for a sound file
    std::string problemText;
};

// Where a document came from decides which facts it can hold: the window's CSV export has no
// format tag and only a regional date, so those are not compared against it.
enum class DocumentForm : std::uint8_t { Json, JsonLines, WindowExport };

struct DocumentHeader {
    static constexpr std::uint32_t kSchemaVersion = 1;
    std::uint32_t schemaVersion = kSchemaVersion;
    std::string host;
    std::string scannedAt; // UTC, ISO 8601 ("2026-12-08T23:33:46Z")
    std::string toolVersion;
    std::string serverVersion;
    std::string root;
    std::vector<ListKind> lists;
};

struct InventoryDocument {
    std::string name; // the file it was read from, for messages and reports
    DocumentForm form = DocumentForm::Json;
    DocumentHeader header;
    std::vector<InventoryRow> rows;
};

} // namespace tambrel::report
