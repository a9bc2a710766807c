// How much the command-line tool's summary costs beyond the scan itself: the scan into the
// in-memory grids the core's tests use, against the whole `tambrel-cli --summary` process
// (start, language, server checks, scan, table), each the best of a few runs over the same
// server so that both see a warm page cache.
//
//     cli_bench [files] [prefix]    default: 100,000 files in a generated server

#include "common/user_dialogs.h"
#include "inventory/file_system.h"
#include "inventory/folder_scan.h"
#include "tests/support/grid_load.h"
#include "tests/support/memory_grid.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

class SilentDialogs final : public tambrel::UserDialogs {
public:
    tambrel::MessageAnswer showMessage(std::string_view, std::string_view,
                                       tambrel::MessageButtons) override {
        return tambrel::MessageAnswer::No;
    }
    std::optional<std::string> askSaveFileName(const tambrel::SaveDialogRequest&) override {
        return std::nullopt;
    }
    void setMousePointer(tambrel::MousePointer) override {}
};

template <typename Run> double bestSeconds(int runs, Run run) {
    double best = 1e30;
    for (int i = 0; i < runs; ++i) {
        const auto start = Clock::now();
        run();
        best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
    }
    return best;
}

} // namespace

int main(int argc, char** argv) {
    const std::size_t count = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 100000;
    std::string prefix;
    std::filesystem::path generated;
    if (argc > 2) {
        prefix = argv[2];
    } else {
        generated = std::filesystem::temp_directory_path() /
                    ("tambrel-cli-bench-" +
                     std::to_string(std::chrono::system_clock::now().time_since_epoch().count()));
        prefix = (generated / "server").string();
        std::printf("generating a server of %zu files in %s\n", count, prefix.c_str());
        const std::string command = std::string("python3 '") + TAMBREL_SAMPLE_SERVER_SCRIPT +
                                    "' '" + prefix + "' --files " + std::to_string(count) +
                                    " >/dev/null";
        if (std::system(command.c_str()) != 0) {
            std::fprintf(stderr, "generating the server failed\n");
            return 1;
        }
    }

    SilentDialogs dialogs;
    tambrel::installUserDialogs(&dialogs);
    const tambrel::FileSystemObject fileSystem(prefix);
    std::int32_t rows = 0;
    ::setenv("WINEPREFIX", prefix.c_str(), 1);
    const double scan = bestSeconds(3, [&] {
        tambrel::MemoryGrid greetings = tambrel::MemoryGrid::withFileRowColumns();
        tambrel::MemoryGrid prompts = tambrel::MemoryGrid::withFileRowColumns();
        (void)tambrel::testing::loadIntoGrids(fileSystem, greetings, prompts);
        rows = greetings.Rows() + prompts.Rows() - 2;
    });
    const std::string command =
        std::string("'") + TAMBREL_CLI_PROGRAM + "' --prefix '" + prefix + "' >/dev/null";
    int status = 0;
    const double summary = bestSeconds(3, [&] { status = std::system(command.c_str()); });

    std::printf("files listed:              %d\n", rows);
    std::printf("scan alone:                %.3f s\n", scan);
    std::printf("tambrel-cli --summary:     %.3f s (exit status %d)\n", summary,
                WEXITSTATUS(status));
    std::printf("summary / scan:            %.2f (target at most 1.20)\n", summary / scan);
    if (!generated.empty())
        std::filesystem::remove_all(generated);
    return 0;
}
