// The command line and the standard streams of the command-line tool. Output is written whole
// or failing: a reader that went away (a closed pipe) is a failure like any other, never a
// signal that ends the program.
#pragma once

#include "common/result.h"

#include <string>
#include <string_view>
#include <vector>

namespace tambrel::platform {

// The arguments after the program's name, in the program's own text: on Windows from the wide
// command line, since main's arguments are in the ANSI code page and lose other scripts.
std::vector<std::string> programArguments(int argc, char** argv);

// Call once at start: a write to a closed pipe then fails with EPIPE instead of killing us.
void ignoreBrokenPipeSignal();
// Every byte, or the failure (EPIPE when the reader has gone).
Status writeStandardOutput(std::string_view bytes);
// Best effort: there is nowhere to report a failure of standard error.
void writeStandardError(std::string_view bytes);

} // namespace tambrel::platform
