// Writes an inventory document, streaming: the header when the scan starts, each row as it
// comes, the close when it ends. UTF-8 without a byte-order mark on every platform.
//
// JSON: one object, the header's members and then "rows", an array with one row object a line.
// JSON Lines: the header object on the first line, one row object a line, and last
// {"row_count":N}, by which a reader tells a whole document from one cut short at a line end.
//
// Header (schema version 1): "schema": "tambrel-inventory", "schema_version": 1, "host",
// "scanned_at" (UTC, ISO 8601), "tool_version", "server_version", "root", "lists" (of
// "greetings", "prompts"). Row: "list", "file", "codec" (the window's text; null when the file
// could not be read), "format_tag" (unsigned), "format_name", "sub_format_tag",
// "sample_rate", "channels", "bits_per_sample", "block_align", "byte_rate", "data_bytes",
// "duration_seconds", "size", "modified" (local time with its offset, ISO 8601), "problem" (a
// stable code), "problem_text"; every member but "list" and "file" may be null. Readers skip
// members they do not know, so later versions may add members without a new version number.
#pragma once

#include "common/result.h"
#include "report/inventory_document.h"
#include "report/text_sink.h"

#include <cstdint>
#include <string>

namespace tambrel::report {

// The members of a row object, in the order documents give them.
void appendRowObject(std::string& out, const InventoryRow& row);

class DocumentWriter {
public:
    // `form` is Json or JsonLines.
    DocumentWriter(TextSink& sink, DocumentForm form);

    Status begin(const DocumentHeader& header);
    Status add(const InventoryRow& row);
    Status finish();

private:
    ChunkedText text_;
    DocumentForm form_;
    std::uint64_t rows_ = 0;
};

// A whole document at once.
Status writeDocument(const InventoryDocument& document, DocumentForm form, TextSink& sink);

} // namespace tambrel::report
