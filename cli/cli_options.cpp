#include "cli/cli_options.h"

#include <array>

namespace tambrel::cli {
namespace {

enum class Takes { Nothing, Value };

struct OptionRow {
    std::string_view name;
    Takes takes;
};

constexpr std::array<OptionRow, 9> kOptions = {{
    {"--prefix", Takes::Value},
    {"--root", Takes::Value},
    {"--greetings", Takes::Value},
    {"--prompts", Takes::Value},
    {"--format", Takes::Value},
    {"--summary", Takes::Nothing},
    {"--language", Takes::Value},
    {"--help", Takes::Nothing},
    {"--version", Takes::Nothing},
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
            return "option " + std::string(name) + " given twice";
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
    if (name == "--format") {
        if (value == "csv")
            options.format = OutputFormat::Csv;
        else if (value == "json")
            options.format = OutputFormat::Json;
        else
            return "option --format takes csv or json, not '" + value + "'";
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
        if (!option)
            return fail(looksLikeOption(argument) ? "unknown option " + argument
                                                  : "unexpected argument '" + argument + "'");
        if (option->takes == Takes::Nothing) {
            if (inlineValue)
                return fail("option " + std::string(name) + " takes no value");
            if (name == "--help")
                options.help = true;
            else if (name == "--version")
                options.version = true;
            else if (summarySeen)
                return fail("option --summary given twice");
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
            return fail("option " + std::string(name) + " needs a value");
        }
        if (value.empty())
            return fail("option " + std::string(name) + " needs a value that is not empty");
        if (std::optional<std::string> error = store(options, name, std::move(value)))
            return fail(*error);
    }
    if (options.help || options.version)
        return parsed;
    const bool greetingsToOutput = options.greetings && *options.greetings == kStandardOutputName;
    const bool promptsToOutput = options.prompts && *options.prompts == kStandardOutputName;
    if (greetingsToOutput && promptsToOutput)
        return fail("only one of --greetings and --prompts may be '-' (standard output)");
    if (options.greetings && options.prompts && !greetingsToOutput &&
        *options.greetings == *options.prompts)
        return fail("--greetings and --prompts name the same file " + *options.greetings);
    if (options.summary && (greetingsToOutput || promptsToOutput))
        return fail("--summary writes to standard output, so no list may be '-' with it");
    return parsed;
}

bool wantsSummary(const CliOptions& options) {
    return options.summary || (!options.greetings && !options.prompts);
}

std::string usageText() {
    return R"(Usage: tambrel-cli [options]

Lists the greetings, voice names and prompts of a Corvel server, with each file's codec,
sample rate, date and size, as the Tambrel window does.

Options:
  --prefix DIR        the Wine-style prefix that holds the server (default: $WINEPREFIX,
                      else ~/.wine)
  --root PATH         the server's install root, given directly: no registry read and no
                      version check (a copied server tree, a mounted share)
  --greetings FILE    write the greetings and voice names to FILE ('-': standard output)
  --prompts FILE      write the prompts to FILE ('-': standard output; only one list may go
                      there)
  --format csv|json   csv (default): the bytes the window's export writes; json: an array of
                      objects with codec, format_tag, file, sample_rate, modified, size
  --summary           per list: files, bytes and a count per codec and sample rate, as a
                      table on standard output (the default when no list is asked for)
  --language ABBR     language of headings and messages, such as DEU (default: the user's)
  --help              this text
  --version           the program's version

Exit status:
  0  done
  1  some files or folders could not be read (listed on standard error; the rest written)
  2  bad usage: unknown option, missing or empty value, both lists to '-'
  3  no server: no prefix, no registry value, root missing, or a server older than 3.0
  4  an output could not be written (an old file is left whole; nothing is reported written)
)";
}

} // namespace tambrel::cli
