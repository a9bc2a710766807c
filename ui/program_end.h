// Ends the program at once, as Exit does: the windows go from the screen first, then the process
// ends without tearing down what the system frees anyway.
#pragma once

#include <functional>

namespace tambrel {

// Hides every window, hands the display what is still queued for it, flushes the standard
// streams and ends the process with `status`. Nothing can be half written by then: an export
// runs to its end before the window takes the next click.
void endProgram(int status);

// For tests: the last step (ending the process) replaced by `end`; an empty one restores it.
void setProcessEnd(std::function<void(int)> end);

} // namespace tambrel
