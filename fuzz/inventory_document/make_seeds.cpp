// Writes the seed corpus of fuzz_inventory_document: the report tests' own documents, valid
// and hostile.
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
    for (const auto& [name, text] : seedDocuments()) {
        std::ofstream(folder / name, std::ios::binary) << text;
        ++count;
    }
    for (const HostileDocument& hostile : hostileDocuments()) {
        // The largest hostile texts are left out: the fuzzer's inputs stay small.
        if (hostile.text.size() > 64 * 1024)
            continue;
        std::ofstream(folder / ("hostile_" + std::to_string(count++)), std::ios::binary)
            << hostile.text;
    }
    std::printf("%zu seeds in %s\n", count, folder.c_str());
    return 0;
}
