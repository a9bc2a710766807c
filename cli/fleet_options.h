// The options that take the tool past one listing: the run's document (--output), the
// comparison with an earlier one (--compare, --with), the check against rules (--expect) and
// the report over many servers' documents (--combine). Which go together, and their help.
#pragma once

#include "cli/cli_options.h"

#include <optional>
#include <string>

namespace tambrel::cli {

// Whether any of them is asked for.
bool runsFleetWork(const CliOptions& options);

// Whether they need no scan: --combine, or --compare with --with.
bool runsWithoutScan(const CliOptions& options);

// Why the combination cannot run, in one line; none when it can.
std::optional<std::string> fleetUsageError(const CliOptions& options);

// Their lines of the usage text, and the exit status they add.
std::string fleetUsageLines();
std::string fleetExitStatusLines();

} // namespace tambrel::cli
