// Standard output and standard error for the command-line tool, written whole or failing: a
// reader that went away (a closed pipe) is a failure like any other, never a signal that ends
// the program.
#pragma once

#include "common/result.h"

#include <string_view>

namespace tambrel::cli {

// Call once at start: a write to a closed pipe then fails with EPIPE instead of killing us.
void ignoreBrokenPipeSignal();
// Every byte, or the failure (EPIPE when the reader has gone).
Status writeStandardOutput(std::string_view bytes);
// Best effort: there is nowhere to report a failure of standard error.
void writeStandardError(std::string_view bytes);

} // namespace tambrel::cli
