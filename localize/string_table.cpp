#include "localize/string_table.h"

#include "localize/own_texts.h"

#include <array>

namespace tambrel {
namespace {

// Blanks at either end are part of the texts: callers append numbers and descriptions
// directly to them.
constexpr std::array<std::string_view, kStringTableSize> kEnglish = {
    " Build",                                                       // 0
    "About",                                                        // 1
    "Are you sure you want to over write this file?",               // 2
    "Change Language",                                              // 3
    "The Tambrel Developers",                                       // 4
    "Tambrel",                                                      // 5
    "Codec, File Name, Sample Rate, Date Last Modified, File Size", // 6
    "Copyright (C) 2026 The Tambrel Developers",                    // 7
    "Error in AddFileToGrid: ",                                     // 8
    "Error in FormLoad routine:",                                   // 9
    "Error in from load procedure: ",                               // 10
    "Error in mnuGreetingsToCSV:",                                  // 11
    "Error in mnuPromptToCSV:",                                     // 12
    "Exit",                                                         // 13
    "Export Greeting and Voice Name Data to CSV",                   // 14
    "Export Prompt Data to CSV",                                    // 15
    "Export complete",                                              // 16
    "File",                                                         // 17
    "File not a valid WAV format",                                  // 18
    "Greetings and Voice Names",                                    // 19
    "Help",                                                         // 20
    "Loading WAV file codec information for all prompts, greetings and voice names.  This may "
    "take a minute or two...",                                          // 21
    "No greetings files found in stream file path...",                  // 22
    "OK",                                                               // 23
    "Overwrite File?",                                                  // 24
    "Prompt Files",                                                     // 25
    "Reload Files",                                                     // 26
    "A free tool for server administrators",                            // 27
    "Select Language",                                                  // 28
    "Set Volume",                                                       // 29
    "This utility only runs on servers running Corvel 3.0(1) or later", // 30
    "Made for everyone, everywhere",                                    // 31
    "All names of products are the marks of their owners.",             // 32
    "Unknown Codec=",                                                   // 33
    "Version:",                                                         // 34
    "no languages loaded",                                              // 35
    "File Name",                                                        // 36
    "Sample Rate",                                                      // 37
    "Last Modified",                                                    // 38
    "File Size",                                                        // 39
    "Codec",                                                            // 40
    "Error in InitalizeLanguages: ",                                    // 41
};

} // namespace

std::optional<std::string_view> builtInString(std::int32_t id) {
    if (id >= texts::kFirst)
        return texts::english(id);
    if (id < 0 || id >= kStringTableSize)
        return std::nullopt;
    return kEnglish[static_cast<std::size_t>(id)];
}

} // namespace tambrel
