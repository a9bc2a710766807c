// Writes the seed corpus of fuzz_rules: the rule texts of the report tests, right and wrong.
#include "tests/report/report_fixtures.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

int main(int argc, char** argv) {
    using namespace tambrel::report::testing;
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <corpus folder>\n", argv[0]);
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::filesystem::create_directories(folder);
    std::size_t count = 0;
    for (const RuleCase& entry : ruleCases())
        std::ofstream(folder / ("rules_" + std::to_string(count++)), std::ios::binary)
            << entry.rules;
    std::printf("%zu seeds in %s\n", count, folder.c_str());
    return 0;
}
