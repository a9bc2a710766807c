#include "cli/fleet_options.h"

#include "localize/own_texts.h"

#include <algorithm>
#include <cstdint>

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
            return texts::text(texts::kCombineNeedsDocuments);
        if (options.compare || options.with || options.expect || options.output || listsAsked ||
            serverAsked)
            return texts::text(texts::kCombineAlone);
    }
    if (options.with && !options.compare)
        return texts::text(texts::kWithNeedsCompare);
    if (options.with && (options.output || listsAsked || serverAsked))
        return texts::text(texts::kWithoutScan);
    if ((options.format == OutputFormat::JsonLines || options.format == OutputFormat::Table) &&
        (options.greetings || options.prompts))
        return texts::text(texts::kListFormats);
    if (options.output && options.formatGiven && options.format != OutputFormat::Json &&
        options.format != OutputFormat::JsonLines)
        return texts::text(texts::kDocumentFormats);
    const bool listToOutput = (options.greetings && *options.greetings == kStandardOutputName) ||
                              (options.prompts && *options.prompts == kStandardOutputName);
    if (options.output && *options.output == kStandardOutputName &&
        (listToOutput || reportToOutput || options.summary))
        return texts::text(texts::kOutputAlone);
    if (reportToOutput && (listToOutput || options.summary))
        return texts::text(texts::kReportToOutput);
    return std::nullopt;
}

std::string fleetUsageLines() {
    struct UsageLine {
        std::string_view option;
        std::int32_t text;
    };
    constexpr UsageLine kLines[] = {
        {"--output FILE", texts::kOutputHelp},
        {"--compare EARLIER", texts::kCompareHelp},
        {"--with LATER", texts::kWithHelp},
        {"--expect RULES", texts::kExpectHelp},
        {"--combine DOC...", texts::kCombineHelp},
        {"--format table|csv|json|jsonl", texts::kReportFormatHelp},
    };
    std::string out;
    for (const UsageLine& line : kLines) {
        std::string option = "  " + std::string(line.option);
        option.resize(std::max<std::size_t>(option.size() + 2, 22), ' ');
        out.append(option).append(texts::text(line.text)).push_back('\n');
    }
    return out;
}

std::string fleetExitStatusLines() {
    return "  5  " + texts::text(texts::kExitDifferences) + "\n";
}

} // namespace tambrel::cli
