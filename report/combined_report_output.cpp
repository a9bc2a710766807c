#include "report/combined_report_output.h"

#include "common/csv_field.h"
#include "report/json_text.h"
#include "report/text_table.h"

#include <array>

namespace tambrel::report {
namespace {

std::string rateText(const std::optional<std::uint32_t>& rate) {
    return rate ? std::to_string(*rate) : std::string();
}

void appendSummary(std::string& out, const ServerSummary& server) {
    out.append("{\"server\":");
    appendJsonString(out, server.server);
    out.append(",\"files\":");
    appendJsonNumber(out, server.all.files);
    out.append(",\"bytes\":");
    appendJsonNumber(out, server.all.bytes);
    out.append(",\"codecs\":[");
    for (std::size_t i = 0; i < server.codecs.size(); ++i) {
        const CodecRateTotals& codec = server.codecs[i];
        out.append(i == 0 ? "{\"codec\":" : ",{\"codec\":");
        appendJsonStringOrNull(out, codec.codec);
        out.append(",\"sample_rate\":");
        appendJsonNumber(out, codec.sampleRate);
        out.append(",\"files\":");
        appendJsonNumber(out, codec.totals.files);
        out.append(",\"bytes\":");
        appendJsonNumber(out, codec.totals.bytes);
        out.push_back('}');
    }
    out.append("],\"problems\":[");
    for (std::size_t i = 0; i < server.problems.size(); ++i) {
        const ProblemTotals& problem = server.problems[i];
        out.append(i == 0 ? "{\"problem\":" : ",{\"problem\":");
        appendJsonString(out, problem.problem);
        out.append(",\"files\":");
        appendJsonNumber(out, problem.totals.files);
        out.append(",\"bytes\":");
        appendJsonNumber(out, problem.totals.bytes);
        out.push_back('}');
    }
    out.append("]}");
}

Status writeJson(const CombinedReport& report, TextSink& sink, bool lines) {
    ChunkedText text(sink);
    std::string& out = text.text();
    if (!lines)
        out.append("{\"servers\":[");
    for (std::size_t i = 0; i < report.servers.size(); ++i) {
        if (!lines)
            out.append(i == 0 ? "\n" : ",\n");
        appendSummary(out, report.servers[i]);
        if (lines)
            out.push_back('\n');
        if (Status flushed = text.flush(); !flushed)
            return flushed;
    }
    out.append(lines ? "" : "],\n\"overall\":");
    appendSummary(out, report.overall);
    out.append(lines ? "\n" : "}\n");
    return text.finish();
}

// Every line of the table and the CSV: Server, Codec, SampleRate, Problem, Files, Bytes.
template <typename Line> void forEachLine(const CombinedReport& report, Line line) {
    const auto server = [&](const ServerSummary& summary) {
        for (const CodecRateTotals& codec : summary.codecs)
            line(summary.server, codec.codec ? *codec.codec : std::string("(unreadable)"),
                 rateText(codec.sampleRate), std::string(), codec.totals);
        for (const ProblemTotals& problem : summary.problems)
            line(summary.server, std::string(), std::string(), problem.problem, problem.totals);
    };
    for (const ServerSummary& summary : report.servers)
        server(summary);
    server(report.overall);
}

constexpr std::array<std::string_view, 6> kColumns = {"SERVER",  "CODEC", "RATE",
                                                      "PROBLEM", "FILES", "BYTES"};

Status writeTable(const CombinedReport& report, TextSink& sink) {
    TextTable table({kColumns.begin(), kColumns.end()});
    const auto cellsOf = [](const std::string& server, const std::string& codec,
                            const std::string& rate, const std::string& problem,
                            const std::string& files, const std::string& bytes) {
        return std::array<std::string_view, 6>{server, codec, rate, problem, files, bytes};
    };
    forEachLine(report, [&](const std::string& server, const std::string& codec,
                            const std::string& rate, const std::string& problem,
                            const Totals& totals) {
        table.measure(cellsOf(server, codec, rate, problem, std::to_string(totals.files),
                              std::to_string(totals.bytes)));
    });
    ChunkedText text(sink);
    table.appendHeadings(text.text());
    forEachLine(report,
                [&](const std::string& server, const std::string& codec, const std::string& rate,
                    const std::string& problem, const Totals& totals) {
                    table.appendLine(text.text(), cellsOf(server, codec, rate, problem,
                                                          std::to_string(totals.files),
                                                          std::to_string(totals.bytes)));
                });
    text.text().append(std::to_string(report.servers.size()) + " servers, " +
                       std::to_string(report.overall.all.files) + " files, " +
                       std::to_string(report.overall.all.bytes) + " bytes\n");
    return text.finish();
}

Status writeCsv(const CombinedReport& report, TextSink& sink) {
    ChunkedText text(sink);
    const auto line = [&](std::array<std::string_view, 6> cells) {
        for (std::size_t i = 0; i < cells.size(); ++i) {
            if (i > 0)
                text.text().push_back(',');
            appendCsvField(text.text(), cells[i]);
        }
        text.text().append("\r\n");
    };
    line({"Server", "Codec", "SampleRate", "Problem", "Files", "Bytes"});
    forEachLine(report,
                [&](const std::string& server, const std::string& codec, const std::string& rate,
                    const std::string& problem, const Totals& totals) {
                    line({server, codec, rate, problem, std::to_string(totals.files),
                          std::to_string(totals.bytes)});
                });
    return text.finish();
}

} // namespace

Status writeCombinedReport(const CombinedReport& report, ReportFormat format, TextSink& sink) {
    switch (format) {
    case ReportFormat::Json:
        return writeJson(report, sink, false);
    case ReportFormat::JsonLines:
        return writeJson(report, sink, true);
    case ReportFormat::Csv:
        return writeCsv(report, sink);
    case ReportFormat::Table:
        break;
    }
    return writeTable(report, sink);
}

} // namespace tambrel::report
