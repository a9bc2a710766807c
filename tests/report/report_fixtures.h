// Documents the report tests (and the fuzz targets' seeds) are made of: rows with every fact,
// documents written by the writer itself, and hostile texts with the message each must give.
#pragma once

#include "report/chunk_source.h"
#include "report/document_reader.h"
#include "report/document_writer.h"
#include "report/inventory_document.h"

#include <string>
#include <utility>
#include <vector>

namespace tambrel::report::testing {

// 2026-12-08T10:00:00Z
inline constexpr std::int64_t kMonday = 1796724000;

inline InventoryRow waveRow(ListKind list, std::string file, std::string codec, std::uint32_t tag,
                            std::uint32_t rate, std::uint64_t size,
                            std::int64_t modified = kMonday) {
    InventoryRow row;
    row.list = list;
    row.file = std::move(file);
    row.codec = std::move(codec);
    row.formatTag = tag;
    row.sampleRate = rate;
    row.channels = 1;
    row.bitsPerSample = tag == 1 ? 16 : 8;
    row.blockAlign = tag == 1 ? 2 : 1;
    row.byteRate = rate * *row.blockAlign;
    row.dataBytes = size - 58;
    row.durationSeconds = static_cast<double>(*row.dataBytes) / *row.byteRate;
    row.size = size;
    row.modified = ModificationTime{modified, 60};
    return row;
}

inline InventoryRow greeting(std::string name, std::string codec = "CCITT u-Law",
                             std::uint32_t tag = 7, std::uint32_t rate = 8000,
                             std::uint64_t size = 16058) {
    return waveRow(ListKind::Greetings, "C:\\Corvel\\Greetings\\" + name, std::move(codec), tag,
                   rate, size);
}

inline InventoryRow prompt(std::string name, std::string codec = "CCITT u-Law",
                           std::uint32_t tag = 7, std::uint32_t rate = 8000,
                           std::uint64_t size = 16058) {
    return waveRow(ListKind::Prompts, "C:\\Corvel\\Prompts\\" + name, std::move(codec), tag, rate,
                   size);
}

inline InventoryRow withProblem(InventoryRow row, std::string problem, std::string text = "") {
    row.problem = std::move(problem);
    row.problemText = std::move(text);
    return row;
}

inline InventoryDocument inventory(std::vector<InventoryRow> rows, std::string host = "CORVEL01") {
    InventoryDocument document;
    document.name = host + ".json";
    document.header.host = std::move(host);
    document.header.scannedAt = "2026-12-08T10:00:00Z";
    document.header.toolVersion = "1.0.12";
    document.header.serverVersion = "Corvel 5.0.2";
    document.header.root = "C:\\Corvel";
    document.header.lists = {ListKind::Greetings, ListKind::Prompts};
    document.rows = std::move(rows);
    return document;
}

inline std::string textOf(const InventoryDocument& document, DocumentForm form) {
    StringSink sink;
    if (!writeDocument(document, form, sink))
        return {};
    return sink.text();
}

inline Result<InventoryDocument> readText(std::string_view text,
                                          std::string_view name = "earlier.json") {
    MemorySource source(text);
    return readDocument(source, name);
}

// Rows of every kind: the extensible form, a file that could not be read, a problem, a name
// with bytes that are not UTF-8, one outside ASCII, and one with a comma and quotes.
inline InventoryDocument everyKindOfRow() {
    InventoryRow extensible = greeting("ext.wav", "Unknown Codec=-2", 0xFFFE, 48000, 96058);
    extensible.subFormatTag = 1;
    extensible.formatName = "Extensible";
    InventoryRow unreadable;
    unreadable.list = ListKind::Prompts;
    unreadable.file = "C:\\Corvel\\Prompts\\locked.wav";
    unreadable.problem = "unreadable";
    unreadable.problemText = "Permission denied";
    return inventory({
        greeting("a.wav"),
        extensible,
        withProblem(greeting("cut.wav"), "truncated", "the data chunk claims 9000 bytes"),
        unreadable,
        prompt(std::string("raw\xE9\xFF.wav")),
        prompt("Grüße.wav", "PCM 16", 1, 16000, 32058),
        prompt("a, \"quoted\" name.wav"),
    });
}

// The seeds of a document reader: valid documents of both forms and the window's export.
inline std::vector<std::pair<std::string, std::string>> seedDocuments() {
    const InventoryDocument document = everyKindOfRow();
    return {
        {"every_kind.json", textOf(document, DocumentForm::Json)},
        {"every_kind.jsonl", textOf(document, DocumentForm::JsonLines)},
        {"empty.json", textOf(inventory({}), DocumentForm::Json)},
        {"empty.jsonl", textOf(inventory({}), DocumentForm::JsonLines)},
        {"export.csv", "Codec, File Name, Sample Rate, Date Last Modified, File Size\r\n"
                       "CCITT u-Law,C:\\Corvel\\Prompts\\a.wav, 8000,12/8/2026, 16058\r\n"
                       "PCM 16,\"C:\\Corvel\\Prompts\\b, c.wav\", 16000,12/8/2026, 32058\r\n"},
    };
}

struct HostileDocument {
    const char* what;
    std::string text;
    const char* message; // a part of the failure's text: the place and the reason
};

inline std::string rowsThenFault(std::size_t rows) {
    std::string text = textOf(inventory({}), DocumentForm::JsonLines);
    text.erase(text.rfind("{\"row_count\""));
    std::string line;
    appendRowObject(line, greeting("g.wav"));
    for (std::size_t i = 0; i < rows; ++i)
        text.append(line).append("\n");
    return text + "{\"list\":\"greetings\",\"file\":7}\n";
}

inline std::vector<HostileDocument> hostileDocuments() {
    const std::string header = "{\"schema\":\"tambrel-inventory\",\"schema_version\":1,";
    const std::string whole = textOf(everyKindOfRow(), DocumentForm::Json);
    const std::string lines = textOf(everyKindOfRow(), DocumentForm::JsonLines);
    const std::string row = "{\"list\":\"prompts\",\"file\":\"a.wav\"";
    return {
        {"empty", "", "1:1: the document ends too early"},
        {"cut in a row", whole.substr(0, whole.size() / 2), "the document ends too early"},
        {"lines cut at a line end", lines.substr(0, lines.rfind("{\"row_count\"")),
         "{\"row_count\":N}, is missing"},
        {"row count wrong", lines.substr(0, lines.rfind("{\"row_count\"")) + "{\"row_count\":9}\n",
         "says it holds 9 rows, but 7 were read"},
        {"a row after the count", lines + row + "}\n", "text follows the end of the document"},
        {"text after the document", whole + "x", "text follows the end of the document"},
        {"not an object", "[1,2]", "1:1: a document begins with an object, not an array"},
        {"another schema", "{\"schema\":\"other\",\"schema_version\":1,\"rows\":[]}",
         "not an inventory document"},
        {"newer schema", header.substr(0, 30) + "\"schema_version\":2,\"rows\":[]}",
         "schema version 2 is not one this tool reads"},
        {"no schema", "{\"rows\":[]}", "lacks \"schema\""},
        {"malformed", header + "\"rows\":[" + row + ",}]}", "1:91: Missing a name"},
        {"wrong type", header + "\"rows\":[" + row + ",\"sample_rate\":\"8000\"}]}",
         "\"sample_rate\" cannot be a string"},
        {"negative", header + "\"rows\":[" + row + ",\"size\":-1}]}",
         "\"size\" cannot be negative"},
        {"tag too large", header + "\"rows\":[" + row + ",\"format_tag\":65536}]}",
         "\"format_tag\" is above 65535"},
        {"duplicate member", header + "\"rows\":[" + row + ",\"file\":\"b.wav\"}]}",
         "the member \"file\" appears twice"},
        {"row without file", header + "\"rows\":[{\"list\":\"prompts\"}]}",
         "a row lacks \"list\" or \"file\""},
        {"unknown list", header + "\"rows\":[{\"list\":\"voices\",\"file\":\"a\"}]}",
         "\"voices\" is not a list"},
        {"row not an object", header + "\"rows\":[7]}", "each row is an object, not a number"},
        {"deep nesting",
         header + "\"rows\":[" + row + ",\"extra\":" + std::string(100000, '[') + "]}",
         "nest deeper than 32 levels"},
        {"long string", header + "\"host\":\"" + std::string(300000, 'h') + "\"}",
         "a string is longer than 131072 bytes"},
        {"invalid UTF-8", header + "\"rows\":[{\"list\":\"prompts\",\"file\":\"a\xC3(.wav\"}]}",
         "a string is not UTF-8"},
        {"lone surrogate", header + "\"rows\":[{\"list\":\"prompts\",\"file\":\"\\udc41\"}]}",
         "a string is not UTF-8 (or escapes a lone surrogate)"},
        {"NUL byte", header + std::string("\"host\":\"a\0b\"}", 13), "a NUL byte"},
        {"fault past the first buffer", rowsThenFault(4000), ":4002:"},
    };
}

// Rule texts, each with the breaks it finds in rulesInventory() ("file: rule = found", in the
// rows' order) or the start of its failure after "--expect:".
struct RuleCase {
    const char* rules;
    std::vector<std::string> breaks;
    const char* failure = nullptr;
};

inline InventoryDocument rulesInventory() {
    InventoryRow extensibleMulaw = prompt("ext.wav", "Unknown Codec=-2", 0xFFFE, 8000);
    extensibleMulaw.subFormatTag = 7;
    InventoryRow stereo = prompt("stereo.wav", "PCM 16", 1, 8000);
    stereo.channels = 2;
    InventoryRow unreadable;
    unreadable.list = ListKind::Greetings;
    unreadable.file = "locked.wav";
    unreadable.problem = "unreadable";
    return inventory({greeting("g.wav"), greeting("gsm.wav", "GSM 6.10", 0x31, 8000),
                      greeting("wide.wav", "PCM 16", 1, 16000), extensibleMulaw, stereo,
                      withProblem(prompt("cut.wav"), "truncated"), unreadable});
}

inline std::vector<RuleCase> ruleCases() {
    return {
        {"prompts: format=mulaw rate=8000 channels=1",
         {"stereo.wav: prompts: format=mulaw = pcm", "stereo.wav: prompts: channels=1 = 2"}},
        {"greetings: format=mulaw,gsm610 rate=8000",
         {"wide.wav: greetings: format=mulaw,gsm610 = pcm",
          "wide.wav: greetings: rate=8000 = 16000",
          "locked.wav: greetings: format=mulaw,gsm610 = none",
          "locked.wav: greetings: rate=8000 = none"}},
        {"  ALL : no-problems  # damaged files\n",
         {"cut.wav: all: no-problems = truncated", "locked.wav: all: no-problems = unreadable"}},
        {"prompts: format = 7, 0x0001; ; greetings,prompts: bits=8,16\nprompts:rate=8000",
         {"locked.wav: greetings,prompts: bits=8,16 = none"}},
        {"greetings: rate=8000,16000 channels=1\n",
         {"locked.wav: greetings: rate=8000,16000 = none",
          "locked.wav: greetings: channels=1 = none"}},
        {"", {}, "1:1: no rules"},
        {"prompts format=mulaw", {}, "1:9: expected \":\" after the list"},
        {"prompts: rat=8000", {}, "1:10: unknown fact \"rat\""},
        {"prompts: format=mu-law",
         {},
         "1:17: unknown format \"mu-law\": expected a tag number or one of pcm"},
        {"prompts: rate=8k", {}, "1:15: \"8k\" is not a number"},
        {"prompts: rate=", {}, "1:15: expected a value after \"rate=\""},
        {"prompts: rate=99999999999", {}, "1:15: \"99999999999\" is not a number"},
        {"voices: no-problems", {}, "1:1: unknown list \"voices\""},
        {"prompts:", {}, "1:9: expected a condition"},
        {"prompts: rate=8000\ngreetings: rate=8000 !", {}, "2:22: expected a condition, not \"!\""},
    };
}

} // namespace tambrel::report::testing
