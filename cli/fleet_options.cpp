#include "cli/fleet_options.h"

namespace tambrel::cli {

bool runsFleetWork(const CliOptions& options) {
    return options.output || options.compare || options.with || options.expect || options.combine;
}

bool runsWithoutScan(const CliOptions& options) {
    return options.combine || (options.compare && options.with);
}

std::optional<std::string> fleetUsageError(const CliOptions& options) {
    const bool listsAsked = options.greetings || options.prompts || options.summary;
    const bool serverAsked = options.prefix || options.root;
    const bool reportToOutput = options.compare || options.expect || options.combine;
    if (options.combine) {
        if (options.documents.empty())
            return "--combine needs the documents to combine";
        if (options.compare || options.with || options.expect || options.output || listsAsked ||
            serverAsked)
            return "--combine reads documents only: it takes no scan, --compare, --expect or "
                   "--output";
    }
    if (options.with && !options.compare)
        return "--with names the later document of --compare";
    if (options.with && (options.output || listsAsked || serverAsked))
        return "--compare with --with compares two documents and scans no server";
    if ((options.format == OutputFormat::JsonLines || options.format == OutputFormat::Table) &&
        (options.greetings || options.prompts))
        return "--greetings and --prompts are written as csv or json";
    if (options.output && options.formatGiven && options.format != OutputFormat::Json &&
        options.format != OutputFormat::JsonLines)
        return "--output writes a document as json or jsonl";
    const bool listToOutput = (options.greetings && *options.greetings == kStandardOutputName) ||
                              (options.prompts && *options.prompts == kStandardOutputName);
    if (options.output && *options.output == kStandardOutputName &&
        (listToOutput || reportToOutput || options.summary))
        return "--output - needs standard output for itself: write the document to a file";
    if (reportToOutput && (listToOutput || options.summary))
        return "the report of --compare or --expect goes to standard output: write the lists to "
               "files";
    return std::nullopt;
}

std::string fleetUsageLines() {
    return "  --output FILE       the run's inventory document (json, or jsonl with --format "
           "jsonl); - for standard output\n"
           "  --compare EARLIER   compare the scan with an earlier document, or with the window's "
           "export pair GREETINGS.csv,PROMPTS.csv\n"
           "  --with LATER        compare EARLIER with this document instead of a scan\n"
           "  --expect RULES      check every file against RULES (text, or @FILE)\n"
           "  --combine DOC...    one report over the documents of many servers\n"
           "  --format table|csv|json|jsonl  the form of those reports (table by default)\n";
}

std::string fleetExitStatusLines() {
    return "  5  differences found, or files that break a rule\n";
}

} // namespace tambrel::cli
