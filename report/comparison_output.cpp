#include "report/comparison_output.h"

#include "common/csv_field.h"
#include "report/document_writer.h"
#include "report/json_text.h"
#include "report/modification_time.h"
#include "report/text_table.h"

#include <array>
#include <string>

namespace tambrel::report {
namespace {

struct FactName {
    ChangedFact fact;
    std::string_view name;
};
constexpr std::array<FactName, 5> kFacts = {{{kCodecChanged, "codec"},
                                             {kFormatTagChanged, "format_tag"},
                                             {kSampleRateChanged, "sample_rate"},
                                             {kSizeChanged, "size"},
                                             {kModifiedChanged, "modified"}}};

std::string numberText(const auto& value) {
    return value ? std::to_string(*value) : std::string("none");
}

std::string modifiedText(const InventoryRow& row) {
    if (row.modified) {
        std::string text;
        appendIsoTime(text, *row.modified);
        return text;
    }
    return row.modifiedText.empty() ? std::string("none") : row.modifiedText;
}

// A fact's value as text, for the table and CSV.
std::string factText(ChangedFact fact, const InventoryRow& row) {
    switch (fact) {
    case kCodecChanged:
        return row.codec ? *row.codec : std::string("none");
    case kFormatTagChanged:
        return numberText(row.formatTag);
    case kSampleRateChanged:
        return numberText(row.sampleRate);
    case kSizeChanged:
        return numberText(row.size);
    case kModifiedChanged:
        return modifiedText(row);
    }
    return {};
}

// A fact's value as JSON.
void appendFactValue(std::string& out, ChangedFact fact, const InventoryRow& row) {
    switch (fact) {
    case kCodecChanged:
        appendJsonStringOrNull(out, row.codec);
        return;
    case kFormatTagChanged:
        appendJsonNumber(out, row.formatTag);
        return;
    case kSampleRateChanged:
        appendJsonNumber(out, row.sampleRate);
        return;
    case kSizeChanged:
        appendJsonNumber(out, row.size);
        return;
    case kModifiedChanged:
        if (row.modified) {
            out.push_back('"');
            appendIsoTime(out, *row.modified);
            out.push_back('"');
        } else if (!row.modifiedText.empty()) {
            appendJsonString(out, row.modifiedText);
        } else {
            out.append("null");
        }
        return;
    }
}

void appendSide(std::string& out, const ComparedSide& side) {
    out.append("{\"name\":");
    appendJsonString(out, side.name);
    out.append(",\"host\":");
    appendJsonString(out, side.host);
    out.append(",\"scanned_at\":");
    appendJsonString(out, side.scannedAt);
    out.push_back('}');
}

void appendChangedEntry(std::string& out, const ChangedRow& row, bool withKind) {
    out.push_back('{');
    if (withKind)
        out.append("\"change\":\"changed\",");
    out.append("\"list\":");
    appendJsonString(out, listName(row.after.list));
    out.append(",\"file\":");
    appendJsonString(out, row.after.file);
    if (row.before.file != row.after.file) {
        out.append(",\"file_before\":");
        appendJsonString(out, row.before.file);
    }
    out.append(",\"changes\":{");
    bool first = true;
    for (const FactName& fact : kFacts) {
        if (!(row.facts & fact.fact))
            continue;
        if (!first)
            out.push_back(',');
        first = false;
        appendJsonString(out, fact.name);
        out.append(":{\"before\":");
        appendFactValue(out, fact.fact, row.before);
        out.append(",\"after\":");
        appendFactValue(out, fact.fact, row.after);
        out.push_back('}');
    }
    out.append("}}");
}

// Added and removed entries carry the whole row, so the file's facts are there to see.
void appendRowEntry(std::string& out, std::string_view change, const InventoryRow& row) {
    out.append("{\"change\":\"");
    out.append(change);
    out.append("\",");
    std::string object;
    appendRowObject(object, row);
    out.append(std::string_view(object).substr(1));
}

Status writeJson(const Comparison& comparison, TextSink& sink) {
    ChunkedText text(sink);
    std::string& out = text.text();
    out.append("{\"earlier\":");
    appendSide(out, comparison.earlier);
    out.append(",\"later\":");
    appendSide(out, comparison.later);
    out.append(",\"lists\":[");
    for (std::size_t i = 0; i < comparison.lists.size(); ++i) {
        if (i > 0)
            out.push_back(',');
        appendJsonString(out, listName(comparison.lists[i]));
    }
    out.append("],\n\"added\":[");
    const auto rows = [&](const std::vector<InventoryRow>& list, std::string_view change) {
        for (std::size_t i = 0; i < list.size(); ++i) {
            out.append(i == 0 ? "\n" : ",\n");
            appendRowEntry(out, change, list[i]);
            if (Status flushed = text.flush(); !flushed)
                return flushed;
        }
        return Status{};
    };
    if (Status status = rows(comparison.added, "added"); !status)
        return status;
    out.append("],\n\"removed\":[");
    if (Status status = rows(comparison.removed, "removed"); !status)
        return status;
    out.append("],\n\"changed\":[");
    for (std::size_t i = 0; i < comparison.changed.size(); ++i) {
        out.append(i == 0 ? "\n" : ",\n");
        appendChangedEntry(out, comparison.changed[i], false);
        if (Status flushed = text.flush(); !flushed)
            return flushed;
    }
    out.append("]}\n");
    return text.finish();
}

Status writeJsonLines(const Comparison& comparison, TextSink& sink) {
    ChunkedText text(sink);
    std::string& out = text.text();
    for (const InventoryRow& row : comparison.added) {
        appendRowEntry(out, "added", row);
        out.push_back('\n');
        if (Status flushed = text.flush(); !flushed)
            return flushed;
    }
    for (const InventoryRow& row : comparison.removed) {
        appendRowEntry(out, "removed", row);
        out.push_back('\n');
        if (Status flushed = text.flush(); !flushed)
            return flushed;
    }
    for (const ChangedRow& row : comparison.changed) {
        appendChangedEntry(out, row, true);
        out.push_back('\n');
        if (Status flushed = text.flush(); !flushed)
            return flushed;
    }
    return text.finish();
}

// The table's and the CSV's lines, one per file added or removed and one per changed fact.
template <typename Line> void forEachLine(const Comparison& comparison, Line line) {
    for (const InventoryRow& row : comparison.added)
        line(std::array<std::string_view, 6>{"added", listName(row.list), row.file, "", "", ""});
    for (const InventoryRow& row : comparison.removed)
        line(std::array<std::string_view, 6>{"removed", listName(row.list), row.file, "", "", ""});
    for (const ChangedRow& row : comparison.changed)
        for (const FactName& fact : kFacts) {
            if (!(row.facts & fact.fact))
                continue;
            const std::string before = factText(fact.fact, row.before);
            const std::string after = factText(fact.fact, row.after);
            line(std::array<std::string_view, 6>{"changed", listName(row.after.list),
                                                 row.after.file, fact.name, before, after});
        }
}

constexpr std::array<std::string_view, 6> kColumns = {"CHANGE", "LIST",   "FILE",
                                                      "FACT",   "BEFORE", "AFTER"};

Status writeTable(const Comparison& comparison, TextSink& sink) {
    TextTable table({kColumns.begin(), kColumns.end()});
    forEachLine(comparison, [&](const auto& cells) { table.measure(cells); });
    ChunkedText text(sink);
    Status status;
    if (comparison.differs()) {
        table.appendHeadings(text.text());
        forEachLine(comparison, [&](const auto& cells) {
            if (!status)
                return;
            table.appendLine(text.text(), cells);
            status = text.flush();
        });
        if (!status)
            return status;
    }
    text.text().append(std::to_string(comparison.added.size()) + " added, " +
                       std::to_string(comparison.removed.size()) + " removed, " +
                       std::to_string(comparison.changed.size()) + " changed\n");
    return text.finish();
}

Status writeCsv(const Comparison& comparison, TextSink& sink) {
    ChunkedText text(sink);
    Status status;
    const auto line = [&](const auto& cells) {
        if (!status)
            return;
        for (std::size_t i = 0; i < cells.size(); ++i) {
            if (i > 0)
                text.text().push_back(',');
            appendCsvField(text.text(), cells[i]);
        }
        text.text().append("\r\n");
        status = text.flush();
    };
    line(std::array<std::string_view, 6>{"Change", "List", "File", "Fact", "Before", "After"});
    forEachLine(comparison, line);
    if (!status)
        return status;
    return text.finish();
}

} // namespace

Status writeComparison(const Comparison& comparison, ReportFormat format, TextSink& sink) {
    switch (format) {
    case ReportFormat::Json:
        return writeJson(comparison, sink);
    case ReportFormat::JsonLines:
        return writeJsonLines(comparison, sink);
    case ReportFormat::Csv:
        return writeCsv(comparison, sink);
    case ReportFormat::Table:
        break;
    }
    return writeTable(comparison, sink);
}

} // namespace tambrel::report
