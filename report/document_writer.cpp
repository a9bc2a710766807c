#include "report/document_writer.h"

#include "report/json_text.h"
#include "report/modification_time.h"

namespace tambrel::report {
namespace {

void appendHeaderMembers(std::string& out, const DocumentHeader& header) {
    out.append("{\"schema\":\"tambrel-inventory\",\"schema_version\":");
    appendJsonNumber(out, std::uint64_t{header.schemaVersion});
    out.append(",\"host\":");
    appendJsonString(out, header.host);
    out.append(",\"scanned_at\":");
    appendJsonString(out, header.scannedAt);
    out.append(",\"tool_version\":");
    appendJsonString(out, header.toolVersion);
    out.append(",\"server_version\":");
    // Unknown, not empty, when the root was given rather than read from the registry.
    if (header.serverVersion.empty())
        out.append("null");
    else
        appendJsonString(out, header.serverVersion);
    out.append(",\"root\":");
    appendJsonString(out, header.root);
    out.append(",\"lists\":[");
    for (std::size_t i = 0; i < header.lists.size(); ++i) {
        if (i > 0)
            out.push_back(',');
        appendJsonString(out, listName(header.lists[i]));
    }
    out.push_back(']');
}

void appendOptionalText(std::string& out, const std::string& text) {
    if (text.empty())
        out.append("null");
    else
        appendJsonString(out, text);
}

} // namespace

void appendRowObject(std::string& out, const InventoryRow& row) {
    out.append("{\"list\":");
    appendJsonString(out, listName(row.list));
    out.append(",\"file\":");
    appendJsonString(out, row.file);
    out.append(",\"codec\":");
    appendJsonStringOrNull(out, row.codec);
    out.append(",\"format_tag\":");
    appendJsonNumber(out, row.formatTag);
    out.append(",\"format_name\":");
    appendOptionalText(out, row.formatName);
    out.append(",\"sub_format_tag\":");
    appendJsonNumber(out, row.subFormatTag);
    out.append(",\"sample_rate\":");
    appendJsonNumber(out, row.sampleRate);
    out.append(",\"channels\":");
    appendJsonNumber(out, row.channels);
    out.append(",\"bits_per_sample\":");
    appendJsonNumber(out, row.bitsPerSample);
    out.append(",\"block_align\":");
    appendJsonNumber(out, row.blockAlign);
    out.append(",\"byte_rate\":");
    appendJsonNumber(out, row.byteRate);
    out.append(",\"data_bytes\":");
    appendJsonNumber(out, row.dataBytes);
    out.append(",\"duration_seconds\":");
    appendJsonNumber(out, row.durationSeconds);
    out.append(",\"size\":");
    appendJsonNumber(out, row.size);
    out.append(",\"modified\":");
    if (row.modified) {
        out.push_back('"');
        appendIsoTime(out, *row.modified);
        out.push_back('"');
    } else {
        appendOptionalText(out, row.modifiedText);
    }
    out.append(",\"problem\":");
    appendOptionalText(out, row.problem);
    out.append(",\"problem_text\":");
    appendOptionalText(out, row.problemText);
    out.push_back('}');
}

DocumentWriter::DocumentWriter(TextSink& sink, DocumentForm form) : text_(sink), form_(form) {}

Status DocumentWriter::begin(const DocumentHeader& header) {
    appendHeaderMembers(text_.text(), header);
    text_.text().append(form_ == DocumentForm::JsonLines ? "}\n" : ",\"rows\":[");
    return text_.flush();
}

Status DocumentWriter::add(const InventoryRow& row) {
    std::string& out = text_.text();
    if (form_ != DocumentForm::JsonLines)
        out.append(rows_ == 0 ? "\n" : ",\n");
    appendRowObject(out, row);
    if (form_ == DocumentForm::JsonLines)
        out.push_back('\n');
    ++rows_;
    return text_.flush();
}

Status DocumentWriter::finish() {
    std::string& out = text_.text();
    if (form_ == DocumentForm::JsonLines) {
        out.append("{\"row_count\":");
        appendJsonNumber(out, rows_);
        out.append("}\n");
    } else {
        out.append(rows_ == 0 ? "]}\n" : "\n]}\n");
    }
    return text_.finish();
}

Status writeDocument(const InventoryDocument& document, DocumentForm form, TextSink& sink) {
    DocumentWriter writer(sink, form);
    Status status = writer.begin(document.header);
    for (std::size_t i = 0; status && i < document.rows.size(); ++i)
        status = writer.add(document.rows[i]);
    if (!status)
        return status;
    return writer.finish();
}

} // namespace tambrel::report
