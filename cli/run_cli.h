// The whole of tambrel-cli between the command line and the exit status.
#pragma once

#include <string>
#include <vector>

namespace tambrel::cli {

enum ExitStatus : int {
    kDone = 0,
    kSomeFilesUnreadable = 1,
    kBadUsage = 2,
    kNoServer = 3,
    kOutputNotWritten = 4,
    kDifferencesFound = 5, // a comparison found changes, or files break a rule
};

// `arguments` without the program name.
int runCli(const std::vector<std::string>& arguments);

} // namespace tambrel::cli
