// The command line of tambrel-cli: which server, which lists go where, in which form.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tambrel::cli {

enum class OutputFormat { Csv, Json, JsonLines, Table };

// A list's destination: a file, or "-" for standard output.
inline constexpr std::string_view kStandardOutputName = "-";

struct CliOptions {
    std::optional<std::string> prefix;
    std::optional<std::string> root;
    std::optional<std::string> greetings;
    std::optional<std::string> prompts;
    OutputFormat format = OutputFormat::Csv;
    bool formatGiven = false;
    // The run's document, comparison, check and combined report (see fleet_options.h).
    std::optional<std::string> output;
    std::optional<std::string> compare;
    std::optional<std::string> with;
    std::optional<std::string> expect;
    bool combine = false;
    std::vector<std::string> documents; // the operands of --combine
    bool summary = false;
    bool details = false; // the header's facts as CSV columns after the five
    std::optional<std::string> language;
    bool help = false;
    bool version = false;
};

// The options, or the reason the command line is unusable (one line, naming the option).
struct ParsedCommandLine {
    CliOptions options;
    std::optional<std::string> usageError;
};

// `arguments` without the program name. "--name VALUE" and "--name=VALUE" are both taken; a
// value that is empty or looks like another option counts as missing; -h is --help; --prefix
// and --root are alternatives. The reasons are in the current language.
ParsedCommandLine parseCommandLine(const std::vector<std::string>& arguments);

// Whether the summary goes to standard output: asked for, or no list was.
bool wantsSummary(const CliOptions& options);

// The value of the last --language on the command line, if any, looked for before the whole
// line is read: the messages about the rest of it are in that language.
std::optional<std::string> languageArgument(const std::vector<std::string>& arguments);

// The usage text for --help in the current language: every option and every exit status.
std::string usageText();

} // namespace tambrel::cli
