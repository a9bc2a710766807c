// tambrel-cli: the server's inventory from a command line, for scripts and scheduled checks.

#include "cli/run_cli.h"

#include <string>
#include <vector>

int main(int argc, char** argv) {
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i)
        arguments.emplace_back(argv[i]);
    return tambrel::cli::runCli(arguments);
}
