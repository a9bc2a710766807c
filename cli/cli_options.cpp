#include "cli/cli_options.h"

#include "cli/fleet_options.h"
#include "localize/own_texts.h"

#include <algorithm>
#include <array>

namespace tambrel::cli {
namespace {

enum class Takes { Nothing, Value };

struct OptionRow {
    std::string_view name;
    Takes takes;
};

constexpr std::array<OptionRow, 16> kOptions = {{
    {"--prefix", Takes::Value},
    {"--root", Takes::Value},
    {"--greetings", Takes::Value},
    {"--prompts", Takes::Value},
    {"--format", Takes::Value},
    {"--summary", Takes::Nothing},
    {"--details", Takes::Nothing},
    {"--language", Takes::Value},
    {"--help", Takes::Nothing},
    {"-h", Takes::Nothing},
    {"--version", Takes::Nothing},
    {"--output", Takes::Value},
    {"--compare", Takes::Value},
    {"--with", Takes::Value},
    {"--expect", Takes::Value},
    {"--combine", Takes::Nothing},
}};

const OptionRow* findOption(std::string_view name) {
    for (const OptionRow& row : kOptions)
        if (row.name == name)
            return &row;
    return nullptr;
}

// Stores `value` for `name`; an error text when the value is not one the option takes or the
// option was given before.
std::optional<std::string> store(CliOptions& options, std::string_view name, std::string value) {
    auto once = [&](std::optional<std::string>& slot) -> std::optional<std::string> {
        if (slot)
            return texts::text(texts::kGivenTwice, {name});
        slot = std::move(value);
        return std::nullopt;
    };
    if (name == "--prefix")
        return once(options.prefix);
    if (name == "--root")
        return once(options.root);
    if (name == "--greetings")
        return once(options.greetings);
    if (name == "--prompts")
        return once(options.prompts);
    if (name == "--language")
        return once(options.language);
    if (name == "--output")
        return once(options.output);
    if (name == "--compare")
        return once(options.compare);
    if (name == "--with")
        return once(options.with);
    if (name == "--expect")
        return once(options.expect);
    if (name == "--format") {
        options.formatGiven = true;
        if (value == "csv")
            options.format = OutputFormat::Csv;
        else if (value == "json")
            options.format = OutputFormat::Json;
        else if (value == "jsonl")
            options.format = OutputFormat::JsonLines;
        else if (value == "table")
            options.format = OutputFormat::Table;
        else
            return texts::text(texts::kFormatChoice, {value});
        return std::nullopt;
    }
    return std::nullopt;
}

bool looksLikeOption(std::string_view text) {
    return text.size() > 1 && text.front() == '-' && text != kStandardOutputName;
}

} // namespace

ParsedCommandLine parseCommandLine(const std::vector<std::string>& arguments) {
    ParsedCommandLine parsed;
    CliOptions& options = parsed.options;
    auto fail = [&parsed](std::string text) {
        parsed.usageError = std::move(text);
        return parsed;
    };
    bool summarySeen = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        std::string_view name = argument;
        std::optional<std::string> inlineValue;
        if (const std::size_t equals = argument.find('=');
            argument.starts_with("--") && equals != std::string::npos) {
            name = std::string_view(argument).substr(0, equals);
            inlineValue = argument.substr(equals + 1);
        }
        const OptionRow* option = findOption(name);
        // The documents --combine reads stand alone, wherever they are on the line.
        if (!option && !looksLikeOption(argument)) {
            options.documents.push_back(argument);
            continue;
        }
        if (!option)
            return fail(looksLikeOption(argument)
                            ? texts::text(texts::kUnknownOption, {argument})
                            : texts::text(texts::kUnexpectedArgument, {argument}));
        if (option->takes == Takes::Nothing) {
            if (inlineValue)
                return fail(texts::text(texts::kTakesNoValue, {name}));
            if (name == "--help" || name == "-h")
                options.help = true;
            else if (name == "--version")
                options.version = true;
            else if (name == "--combine")
                options.combine = true;
            else if (name == "--details")
                options.details = true;
            else if (summarySeen)
                return fail(texts::text(texts::kGivenTwice, {name}));
            else
                summarySeen = options.summary = true;
            continue;
        }
        std::string value;
        if (inlineValue) {
            value = *inlineValue;
        } else if (i + 1 < arguments.size() && !looksLikeOption(arguments[i + 1])) {
            value = arguments[++i];
        } else {
            return fail(texts::text(texts::kNeedsValue, {name}));
        }
        if (value.empty())
            return fail(texts::text(texts::kNeedsNonEmptyValue, {name}));
        if (std::optional<std::string> error = store(options, name, std::move(value)))
            return fail(*error);
    }
    if (options.help || options.version)
        return parsed;
    if (!options.combine && !options.documents.empty())
        return fail(texts::text(texts::kUnexpectedArgument, {options.documents.front()}));
    if (std::optional<std::string> error = fleetUsageError(options))
        return fail(*error);
    const bool greetingsToOutput = options.greetings && *options.greetings == kStandardOutputName;
    const bool promptsToOutput = options.prompts && *options.prompts == kStandardOutputName;
    if (options.prefix && options.root)
        return fail(texts::text(texts::kPrefixOrRoot));
    if (greetingsToOutput && promptsToOutput)
        return fail(texts::text(texts::kOneListToOutput));
    if (options.greetings && options.prompts && !greetingsToOutput &&
        *options.greetings == *options.prompts)
        return fail(texts::text(texts::kSameFile, {*options.greetings}));
    if (options.summary && (greetingsToOutput || promptsToOutput))
        return fail(texts::text(texts::kSummaryWithOutput));
    return parsed;
}

bool wantsSummary(const CliOptions& options) {
    return options.summary || (!options.greetings && !options.prompts && !runsFleetWork(options));
}

std::optional<std::string> languageArgument(const std::vector<std::string>& arguments) {
    std::optional<std::string> found;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument.starts_with("--language="))
            found = argument.substr(std::string_view("--language=").size());
        else if (argument == "--language" && i + 1 < arguments.size() &&
                 !looksLikeOption(arguments[i + 1]))
            found = arguments[++i];
        else if (const OptionRow* option = findOption(argument);
                 option && option->takes == Takes::Value && i + 1 < arguments.size() &&
                 !looksLikeOption(arguments[i + 1]))
            ++i; // another option's value, even one that reads "--language"
        if (found && found->empty())
            found.reset();
    }
    return found;
}

std::string usageText() {
    struct UsageLine {
        std::string_view option;
        std::int32_t text;
    };
    constexpr UsageLine kLines[] = {
        {"--prefix DIR", texts::kPrefixHelp},
        {"--root PATH", texts::kRootHelp},
        {"--greetings FILE", texts::kGreetingsHelp},
        {"--prompts FILE", texts::kPromptsHelp},
        {"--format csv|json", texts::kFormatHelp},
        {"--summary", texts::kSummaryHelp},
        {"--details", texts::kDetailsHelp},
        {"--language ABBR", texts::kLanguageHelp},
        {"-h, --help", texts::kHelpHelp},
        {"--version", texts::kVersionHelp},
    };
    constexpr UsageLine kStatuses[] = {
        {"0", texts::kExitDone},
        {"1", texts::kExitSomeUnreadable},
        {"2", texts::kExitBadUsage},
        {"3", texts::kExitNoServer},
        {"4", texts::kExitOutputNotWritten},
    };
    std::string out = texts::text(texts::kCliUsage) + "\n\n" + texts::text(texts::kCliPurpose) +
                      "\n\n" + texts::text(texts::kOptionsHeading) + "\n";
    for (const UsageLine& line : kLines) {
        std::string option = "  " + std::string(line.option);
        option.resize(std::max<std::size_t>(option.size() + 2, 22), ' ');
        out.append(option).append(texts::text(line.text)).push_back('\n');
    }
    out.append(fleetUsageLines());
    out.append("\n").append(texts::text(texts::kExitStatusHeading)).push_back('\n');
    for (const UsageLine& line : kStatuses)
        out.append("  ")
            .append(line.option)
            .append("  ")
            .append(texts::text(line.text))
            .push_back('\n');
    out.append(fleetExitStatusLines());
    return out;
}

} // namespace tambrel::cli
