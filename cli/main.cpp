// tambrel-cli: the server's inventory from a command line, for scripts and scheduled checks.

#include "cli/run_cli.h"
#include "platform/process/standard_streams.h"

int main(int argc, char** argv) {
    return tambrel::cli::runCli(tambrel::platform::programArguments(argc, argv));
}
