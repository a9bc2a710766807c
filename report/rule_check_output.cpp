#include "report/rule_check_output.h"

#include "common/csv_field.h"
#include "report/json_text.h"
#include "report/text_table.h"

#include <array>

namespace tambrel::report {
namespace {

void appendBreak(std::string& out, const CheckResult& result, const RuleBreak& entry) {
    out.append("{\"list\":");
    appendJsonString(out, listName(entry.list));
    out.append(",\"file\":");
    appendJsonString(out, entry.file);
    out.append(",\"rule\":");
    appendJsonString(out, result.rules[entry.rule]);
    out.append(",\"found\":");
    appendJsonString(out, entry.found);
    out.push_back('}');
}

Status writeJson(const CheckResult& result, TextSink& sink, bool lines) {
    ChunkedText text(sink);
    std::string& out = text.text();
    if (!lines) {
        out.append(result.passed() ? "{\"passed\":true" : "{\"passed\":false");
        out.append(",\"files_checked\":");
        appendJsonNumber(out, result.filesChecked);
        out.append(",\"files_breaking\":");
        appendJsonNumber(out, result.filesBreaking);
        out.append(",\"rules\":[");
        for (std::size_t i = 0; i < result.rules.size(); ++i) {
            out.append(i == 0 ? "{\"rule\":" : ",{\"rule\":");
            appendJsonString(out, result.rules[i]);
            out.append(",\"files\":");
            appendJsonNumber(out, result.breaking[i]);
            out.push_back('}');
        }
        out.append("],\n\"breaks\":[");
    }
    for (std::size_t i = 0; i < result.breaks.size(); ++i) {
        if (!lines)
            out.append(i == 0 ? "\n" : ",\n");
        appendBreak(out, result, result.breaks[i]);
        if (lines)
            out.push_back('\n');
        if (Status flushed = text.flush(); !flushed)
            return flushed;
    }
    if (!lines)
        out.append("]}\n");
    return text.finish();
}

Status writeCsv(const CheckResult& result, TextSink& sink) {
    ChunkedText text(sink);
    const auto line = [&](std::array<std::string_view, 4> cells) {
        for (std::size_t i = 0; i < cells.size(); ++i) {
            if (i > 0)
                text.text().push_back(',');
            appendCsvField(text.text(), cells[i]);
        }
        text.text().append("\r\n");
        return text.flush();
    };
    Status status = line({"List", "File", "Rule", "Found"});
    for (std::size_t i = 0; status && i < result.breaks.size(); ++i) {
        const RuleBreak& entry = result.breaks[i];
        status = line({listName(entry.list), entry.file, result.rules[entry.rule], entry.found});
    }
    if (!status)
        return status;
    return text.finish();
}

Status writeTable(const CheckResult& result, TextSink& sink) {
    ChunkedText text(sink);
    std::string& out = text.text();
    if (!result.breaks.empty()) {
        TextTable table({"LIST", "FILE", "RULE", "FOUND"});
        for (const RuleBreak& entry : result.breaks)
            table.measure(std::array<std::string_view, 4>{listName(entry.list), entry.file,
                                                          result.rules[entry.rule], entry.found});
        table.appendHeadings(out);
        for (const RuleBreak& entry : result.breaks) {
            table.appendLine(out, std::array<std::string_view, 4>{listName(entry.list), entry.file,
                                                                  result.rules[entry.rule],
                                                                  entry.found});
            if (Status flushed = text.flush(); !flushed)
                return flushed;
        }
        out.push_back('\n');
    }
    TextTable counts({"RULE", "FILES BREAKING IT"});
    std::vector<std::string> numbers;
    for (std::uint64_t count : result.breaking)
        numbers.push_back(std::to_string(count));
    for (std::size_t i = 0; i < result.rules.size(); ++i)
        counts.measure(std::array<std::string_view, 2>{result.rules[i], numbers[i]});
    counts.appendHeadings(out);
    for (std::size_t i = 0; i < result.rules.size(); ++i)
        counts.appendLine(out, std::array<std::string_view, 2>{result.rules[i], numbers[i]});
    out.append(std::to_string(result.filesBreaking) + " of " + std::to_string(result.filesChecked) +
               " files break a rule\n");
    return text.finish();
}

} // namespace

Status writeCheck(const CheckResult& result, ReportFormat format, TextSink& sink) {
    switch (format) {
    case ReportFormat::Json:
        return writeJson(result, sink, false);
    case ReportFormat::JsonLines:
        return writeJson(result, sink, true);
    case ReportFormat::Csv:
        return writeCsv(result, sink);
    case ReportFormat::Table:
        break;
    }
    return writeTable(result, sink);
}

} // namespace tambrel::report
