// Times ReadRegistryValue on a large generated system.reg (Wine-like: class registrations with
// string, dword and continued hex values), with the wanted keys at its end, against reading the
// same file alone. Prints milliseconds per call and megabytes per second.
//
//   registry_bench [megabytes=200] [calls=5]    (the prefix is a temporary folder, removed after)

#include "platform/paths/wine_prefix.h"
#include "platform/registry/registry_snapshot.h"
#include "server/registry_api.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

using namespace tambrel;
using Clock = std::chrono::steady_clock;

std::string guid(unsigned number) {
    char text[64];
    std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%04X-%012X}", number * 2654435761u,
                  number & 0xFFFF, (number >> 3) & 0xFFFF, (number >> 7) & 0xFFFF, number);
    return text;
}

void writeRegistry(const std::filesystem::path& file, std::size_t bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win64\n";
    std::string hex = "hex:";
    for (int index = 0; index < 120; ++index)
        hex += (index % 25 == 24) ? "a5,\\\n  " : "a5,";
    hex += "00";
    std::size_t written = 0;
    for (unsigned number = 0; written < bytes; ++number) {
        std::string key = "\n[Software\\\\Classes\\\\CLSID\\\\" + guid(number) +
                          "\\\\InprocServer32] 1700000000\n#time=1da2b3c4d5e6f70\n"
                          "@=\"C:\\\\windows\\\\system32\\\\component" +
                          std::to_string(number) +
                          ".dll\"\n\"ThreadingModel\"=\"Both\"\n\"Flags\"=dword:00000004\n";
        if (number % 4 == 0)
            key += "\"Data\"=" + hex + "\n";
        out << key;
        written += key.size();
    }
    out << "\n[Software\\\\Quillan] 1700000000\n\"Build Number\"=dword:00010012\n"
           "\"Version Number\"=dword:00030000\n"
           "\n[Software\\\\Quillan\\\\Brannock Setup\\\\1.0\\\\Properties] 1700000000\n"
           "\"BrannockRootPath\"=\"C:\\\\Corvel\\\\\"\n";
}

template <typename Work> double bestMilliseconds(int calls, Work work) {
    double best = 1e300;
    for (int call = 0; call < calls; ++call) {
        const auto start = Clock::now();
        work();
        best =
            std::min(best, std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    return best;
}

} // namespace

int main(int argc, char** argv) {
    const std::size_t megabytes = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 200;
    const int calls = argc > 2 ? std::atoi(argv[2]) : 5;
    char pattern[] = "/tmp/tambrel-registry-bench-XXXXXX";
    if (!mkdtemp(pattern))
        return 1;
    const std::filesystem::path prefix = pattern;
    ::setenv("WINEPREFIX", prefix.c_str(), 1);
    writeRegistry(prefix / "system.reg", megabytes << 20);
    const double size = static_cast<double>(std::filesystem::file_size(prefix / "system.reg"));

    // Warm the page cache once, then measure each path.
    (void)RegistrySnapshot::read(machineRegistryPath());
    const double readOnly =
        bestMilliseconds(calls, [] { (void)RegistrySnapshot::read(machineRegistryPath()); });
    std::string root;
    const double text = bestMilliseconds(calls, [&] {
        const Result<RegistryValue> value = ReadRegistryValue(
            HKeyLocalMachine, "Software\\Quillan\\Brannock Setup\\1.0\\Properties",
            "BrannockRootPath", RegSz);
        root = value.ok() ? registryValueAsText(*value) : "(failed)";
    });
    std::int32_t versionNumber = 0;
    const double number = bestMilliseconds(calls, [&] {
        const Result<RegistryValue> value =
            ReadRegistryValue(HKeyLocalMachine, "Software\\Quillan\\", "Version Number", RegDword);
        versionNumber = value.ok() ? registryValueAsNumber(*value) : -1;
    });
    const double missing = bestMilliseconds(
        calls, [] { (void)ReadRegistryValue(HKeyLocalMachine, "Software\\Nobody", "v", RegSz); });

    const double megabytesRead = size / (1 << 20);
    std::printf("system.reg: %.1f MB, best of %d calls\n", megabytesRead, calls);
    std::printf("read only:                %8.1f ms  %8.0f MB/s\n", readOnly,
                megabytesRead / readOnly * 1000);
    std::printf("text value (%s):   %8.1f ms  %8.0f MB/s\n", root.c_str(), text,
                megabytesRead / text * 1000);
    std::printf("number value (0x%08X): %8.1f ms  %8.0f MB/s\n",
                static_cast<unsigned>(versionNumber), number, megabytesRead / number * 1000);
    std::printf("missing key (both views): %8.1f ms  %8.0f MB/s\n", missing,
                megabytesRead / missing * 1000);
    std::filesystem::remove_all(prefix);
    return 0;
}
