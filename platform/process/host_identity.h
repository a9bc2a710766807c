// Facts about the machine and the terminal the tool runs on: the host name a document names its
// server by, and whether standard error is a terminal a live count may be drawn on.
#pragma once

#include <string>

namespace tambrel::platform {

// The machine's name as its administrators know it (the NetBIOS or host name), in UTF-8; ""
// when the system will not say.
std::string hostName();

// Whether standard error is a terminal (a console on Windows), not a file or a pipe.
bool standardErrorIsTerminal();

} // namespace tambrel::platform
