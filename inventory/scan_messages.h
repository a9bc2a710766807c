// The texts of the scan's events as the user reads them, in the language in force: the same
// words in the window's message boxes and on the command-line tool's standard error.
#pragma once

#include "common/result.h"
#include "inventory/scan_sink.h"

#include <string>
#include <string_view>

namespace tambrel {

// The load's lead text, the failure and what it concerns.
std::string loadFailureMessage(const LoadFailure& failure);
// The same lead for a failure of a step of the load's own (the window's grids, say).
std::string loadFailureMessage(const Failure& failure, std::string_view concerned = {});
// AddFileToGrid's lead text, the failure and the file as its row shows it, so the user can
// find it on the server.
std::string readFailureMessage(const Failure& failure, std::string_view shownPath);
std::string noGreetingsFoundMessage();
std::string serverRefusedMessage();

} // namespace tambrel
