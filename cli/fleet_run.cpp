#include "cli/fleet_run.h"

#include "cli/cli_scan_sink.h"
#include "cli/document_reads.h"
#include "cli/inventory_rows.h"
#include "cli/report_files.h"
#include "cli/run_cli.h"
#include "localize/own_texts.h"
#include "platform/process/host_identity.h"
#include "report/combined_report.h"
#include "report/combined_report_output.h"
#include "report/comparison.h"
#include "report/comparison_output.h"
#include "report/document_reader.h"
#include "report/document_writer.h"
#include "report/input_errors.h"
#include "report/modification_time.h"
#include "report/rule_check.h"
#include "report/rule_check_output.h"
#include "report/rules.h"
#include "report/window_export_reader.h"

#include <array>
#include <cerrno>
#include <chrono>
#include <cstdint>

namespace tambrel::cli {
namespace {

constexpr std::string_view kProgramName = "tambrel-cli";
// Rules are written by hand: a file larger than this is not a rules file.
constexpr std::size_t kLargestRulesFile = std::size_t{1} << 20;

void tell(std::string_view text) {
    tellOnStandardError(kProgramName, text);
}

report::ReportFormat reportFormat(const CliOptions& options) {
    if (!options.formatGiven)
        return report::ReportFormat::Table;
    switch (options.format) {
    case OutputFormat::Csv:
        return report::ReportFormat::Csv;
    case OutputFormat::Json:
        return report::ReportFormat::Json;
    case OutputFormat::JsonLines:
        return report::ReportFormat::JsonLines;
    case OutputFormat::Table:
        break;
    }
    return report::ReportFormat::Table;
}

report::InventoryDocument scanDocument(const ScanContext& context, const ListingStore& greetings,
                                       const ListingStore& prompts) {
    report::InventoryDocument document;
    document.name = "scan";
    report::DocumentHeader& header = document.header;
    header.host = platform::hostName();
    header.scannedAt = context.scannedAt;
    header.toolVersion = context.toolVersion;
    header.serverVersion = context.serverVersion;
    header.root = context.root;
    header.lists = {report::ListKind::Greetings, report::ListKind::Prompts};
    document.rows.reserve(static_cast<std::size_t>(greetings.size() + prompts.size()));
    for (const ListingStore* list : {&greetings, &prompts})
        for (std::int64_t row = 0; row < list->size(); ++row)
            document.rows.push_back(inventoryRow(list->facts(row)));
    return document;
}

// The report on standard output: kDone, or kOutputNotWritten told (silently when the reader
// went away).
int writeReport(const std::function<Status(report::TextSink&)>& produce) {
    const Status written = writeThroughSink(std::string(kStandardOutputName), {}, produce);
    if (written)
        return kDone;
    if (written.failure().code != EPIPE)
        tell(texts::text(texts::kCannotWriteOutput, {written.failure().description}));
    return kOutputNotWritten;
}

Result<report::RuleSet> readRules(const std::string& argument) {
    if (argument.starts_with('@')) {
        const std::string path = argument.substr(1);
        Result<std::string> text = readTextFile(path, kLargestRulesFile);
        if (!text)
            return inputFailure(path, text.failure());
        return report::parseRules(*text, path);
    }
    return report::parseRules(argument, "--expect");
}

// The comparison and the check of `later`, in that order: the worst status.
int compareAndCheck(const CliOptions& options, const report::InventoryDocument* earlier,
                    const report::InventoryDocument& later) {
    // Rules first: a mistake in them is told before any report is written.
    std::optional<report::RuleSet> rules;
    if (options.expect) {
        Result<report::RuleSet> parsed = readRules(*options.expect);
        if (!parsed) {
            tell(parsed.failure().description);
            return kBadUsage;
        }
        rules = std::move(parsed.value());
    }
    const report::ReportFormat format = reportFormat(options);
    bool differences = false;
    if (earlier) {
        const report::Comparison comparison = report::compareDocuments(*earlier, later);
        differences = comparison.differs();
        if (const int status = writeReport([&](report::TextSink& sink) {
                return report::writeComparison(comparison, format, sink);
            });
            status != kDone)
            return status;
    }
    if (rules) {
        const report::CheckResult result = report::checkRows(*rules, later.rows);
        differences = differences || !result.passed();
        if (const int status = writeReport(
                [&](report::TextSink& sink) { return report::writeCheck(result, format, sink); });
            status != kDone)
            return status;
    }
    return differences ? kDifferencesFound : kDone;
}

int combineDocuments(const CliOptions& options) {
    report::Combiner combiner;
    LiveCount count(platform::standardErrorIsTerminal());
    report::RowProgress progress{0};
    // One document at a time: forty servers' rows never stand in memory at once.
    for (const std::string& name : options.documents) {
        std::vector<Result<report::InventoryDocument>> read =
            readDocumentsCounting(std::span(&name, 1), count, progress);
        Result<report::InventoryDocument>& document = read.front();
        if (!document) {
            // One document missing makes the report a partial one: none is written.
            count.finish();
            tell(document.failure().description);
            return kBadUsage;
        }
        report::RowSink& rows = combiner.begin(report::serverNameOf(*document));
        for (report::InventoryRow& row : document->rows)
            rows.add(std::move(row));
        combiner.commit();
    }
    count.finish();
    const report::CombinedReport combined = combiner.report();
    return writeReport([&](report::TextSink& sink) {
        return report::writeCombinedReport(combined, reportFormat(options), sink);
    });
}

} // namespace

std::string utcTimeNow() {
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(
                             std::chrono::system_clock::now().time_since_epoch())
                             .count();
    std::string text;
    report::appendIsoTime(text, report::ModificationTime{static_cast<std::int64_t>(seconds), 0});
    if (text.ends_with("+00:00"))
        text.replace(text.size() - 6, 6, "Z");
    return text;
}

int runWithoutScan(const CliOptions& options) {
    if (options.combine)
        return combineDocuments(options);
    // Both at once, on two threads: their parsing is most of a comparison's time.
    const std::array<std::string, 2> names = {*options.compare, *options.with};
    std::vector<Result<report::InventoryDocument>> read;
    {
        LiveCount count(platform::standardErrorIsTerminal());
        report::RowProgress progress{0};
        read = readDocumentsCounting(names, count, progress);
    }
    for (const Result<report::InventoryDocument>& document : read)
        if (!document) {
            tell(document.failure().description);
            return kBadUsage;
        }
    return compareAndCheck(options, &read[0].value(), read[1].value());
}

int runAfterScan(const CliOptions& options, const ScanContext& context,
                 const ListingStore& greetings, const ListingStore& prompts,
                 const ProtectedRoots& protectedRoots) {
    // The earlier document is read before anything is written: a wrong name costs no output.
    std::optional<report::InventoryDocument> earlier;
    if (options.compare) {
        Result<report::InventoryDocument> read = readDocumentArgument(*options.compare);
        if (!read) {
            tell(read.failure().description);
            return kBadUsage;
        }
        earlier = std::move(read.value());
    }
    const report::InventoryDocument scan = scanDocument(context, greetings, prompts);
    if (options.output) {
        const report::DocumentForm form = options.format == OutputFormat::JsonLines
                                              ? report::DocumentForm::JsonLines
                                              : report::DocumentForm::Json;
        if (Status written = writeThroughSink(
                *options.output, protectedRoots,
                [&](report::TextSink& sink) { return report::writeDocument(scan, form, sink); });
            !written) {
            if (written.failure().code != EPIPE)
                tell(texts::text(texts::kCannotWrite,
                                 {*options.output, written.failure().description}));
            return kOutputNotWritten;
        }
    }
    if (!options.compare && !options.expect)
        return kDone;
    return compareAndCheck(options, earlier ? &*earlier : nullptr, scan);
}

} // namespace tambrel::cli
