#include "localize/own_texts.h"

#include "localize/language_state.h"

#include <array>

namespace tambrel::texts {
namespace {

constexpr std::array<std::string_view, kEnd - kFirst> kEnglish = {
    "CSV File Location",                             // 100
    "Inside the server's folders, never written to", // 101
    "tambrel: the window needs a display and none was found; tambrel-cli lists the same rows "
    "without one",              // 102
    "Usage: tambrel [options]", // 103
    "Lists the codec, sample rate, date and size of every greeting, voice name and prompt of a "
    "Corvel server.",                                                                   // 104
    "the Wine-style prefix that holds the server (default: $WINEPREFIX, else ~/.wine)", // 105
    "the server's install root, given directly: no registry read and no version check (a copied "
    "server tree, a mounted share); not together with --prefix", // 106
    "this text",                                                 // 107
    "the program's version",                                     // 108
    "Options:",                                                  // 109
    "Usage: tambrel-cli [options]",                              // 110
    "Lists the greetings, voice names and prompts of a Corvel server, with each file's codec, "
    "sample rate, date and size, as the Tambrel window does.",                      // 111
    "write the greetings and voice names to FILE ('-': standard output)",           // 112
    "write the prompts to FILE ('-': standard output; only one list may go there)", // 113
    "csv (default): the bytes the window's export writes; json: an array of objects with codec, "
    "format_name, format_tag, file, sample_rate, modified, size; without a list, the summary as "
    "JSON", // 114
    "per list: files, bytes and a count per codec and sample rate, as a table on standard output "
    "(the default when no list is asked for)",                                              // 115
    "language of headings and messages, such as DEU (default: the user's)",                 // 116
    "Exit status:",                                                                         // 117
    "done",                                                                                 // 118
    "some files or folders could not be read (listed on standard error; the rest written)", // 119
    "bad usage: unknown option, missing or empty value, both lists to '-', --prefix with --root", // 120
    "no server: no prefix, no registry value, root missing, or a server older than 3.0", // 121
    "an output could not be written (an old file is left whole; nothing is reported written)", // 122
    "unknown option %1",                                                  // 123
    "unexpected argument '%1'",                                           // 124
    "option %1 takes no value",                                           // 125
    "option %1 given twice",                                              // 126
    "option %1 needs a value",                                            // 127
    "option %1 needs a value that is not empty",                          // 128
    "option --format takes csv, json, jsonl or table, not '%1'",          // 129
    "only one of --greetings and --prompts may be '-' (standard output)", // 130
    "--greetings and --prompts name the same file %1",                    // 131
    "--summary writes to standard output, so no list may be '-' with it", // 132
    "--prefix and --root are alternatives: give only one of them",        // 133
    "see tambrel-cli --help",                                             // 134
    "option --language: unknown language abbreviation '%1'",              // 135
    "no language library for %1 was found; English is used",              // 136
    "cannot write %1: %2",                                                // 137
    "cannot write standard output: %1",                                   // 138
    "server root %1: %2",                                                 // 139
    "Wine prefix %1: %2",                                                 // 140
    "registry value %1 in %2: %3",                                        // 141
    "no registry value %1 in %2",                                         // 142
    "server root %1 (registry value %2): %3",                             // 143
    "%1 file, %2 bytes",                                                  // 144
    "%1 files, %2 bytes",                                                 // 145
    "Files",                                                              // 146
    "the run's inventory document (json, or jsonl with --format jsonl); - for standard output", // 147
    "compare the scan with an earlier document, or with the window's export pair "
    "GREETINGS.csv,PROMPTS.csv",                                                             // 148
    "compare EARLIER with this document instead of a scan",                                  // 149
    "check every file against RULES (the text, or @FILE)",                                   // 150
    "one report over the documents of many servers",                                         // 151
    "the form of the reports of --compare, --expect and --combine (table by default)",       // 152
    "differences found, or files that break a rule",                                         // 153
    "--combine needs the documents to combine",                                              // 154
    "--combine reads documents only: it takes no scan, --compare, --expect or --output",     // 155
    "--with names the later document of --compare",                                          // 156
    "--compare with --with compares two documents and scans no server",                      // 157
    "--greetings and --prompts are written as csv or json",                                  // 158
    "--output writes a document as json or jsonl",                                           // 159
    "--output - needs standard output for itself: write the document to a file",             // 160
    "the report of --compare or --expect goes to standard output: write the lists to files", // 161
    "the header's facts as CSV columns after the five",                                      // 162
    "Problem",                                                                               // 163
    "Unreadable",                                                                            // 164
    "Empty file",                                                                            // 165
    "Not a RIFF file",                                                                       // 166
    "Big-endian RIFX",                                                                       // 167
    "64-bit RF64",                                                                           // 168
    "No WAVE audio",                                                                         // 169
    "Header cut short",                                                                      // 170
    "No format chunk",                                                                       // 171
    "Format chunk too short",                                                                // 172
    "Invalid format",                                                                        // 173
    "No audio data",                                                                         // 174
    "Audio data cut short",                                                                  // 175
    "Wrong RIFF length",                                                                     // 176
    "Channels",                                                                              // 177
    "Bits",                                                                                  // 178
    "Duration",                                                                              // 179
    "Format",                                                                                // 180
    "View",                                                                                  // 181
    "Find...",                                                                               // 182
    "Show Only Files with Problems",                                                         // 183
    "Export Shown Greetings and Voice Names to CSV",                                         // 184
    "Export Shown Prompts to CSV",                                                           // 185
    "%1 of %2",                                                                              // 186
    "File name, codec or sample rate",                                                       // 187
    "Close",                                                                                 // 188
    "Find:",                                                                                 // 189
    "Totals",                                                                                // 190
    "Codec or Problem",                                                                      // 191
    "Files",                                                                                 // 192
    "Bytes",                                                                                 // 193
    "Share",                                                                                 // 194
    "Copy",                                                                                  // 195
    "Close",                                                                                 // 196
    "List",                                                                                  // 197
};

} // namespace

std::optional<std::string_view> english(std::int32_t id) {
    if (id < kFirst || id >= kEnd)
        return std::nullopt;
    return kEnglish[static_cast<std::size_t>(id - kFirst)];
}

std::string text(std::int32_t id, std::initializer_list<std::string_view> arguments) {
    const std::string pattern = mymyLoadString(id);
    std::string out;
    out.reserve(pattern.size());
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] >= '1' &&
            pattern[i + 1] <= '9') {
            const auto index = static_cast<std::size_t>(pattern[i + 1] - '1');
            if (index < arguments.size()) {
                out.append(*(arguments.begin() + index));
                ++i;
                continue;
            }
        }
        out.push_back(pattern[i]);
    }
    return out;
}

} // namespace tambrel::texts
