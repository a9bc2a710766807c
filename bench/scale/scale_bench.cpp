// Runs the real main window over generated servers of each size given: the start-up scan, the
// first paint, a scroll to the last row, both exports, three reloads and a sort by file name, each
// timed, with the resident and peak memory after each. Every size runs in a process of its own,
// so a peak belongs to one size; the summary divides by the number of files, so a figure that
// grows from one size to the next grows faster than the files do.
//
//   scale_bench [files...] [--prefix-folder DIR] [--keep]   (files default to 100000 1000000)
//
// Servers are generated into DIR (default: a temporary folder) as DIR/server-<files> and reused
// when already there, since writing a million files takes minutes.

#include "common/user_dialogs.h"
#include "platform/testing/file_tricks.h"
#include "platform/testing/process_tricks.h"
#include "ui/frm_main.h"
#include "ui/grid_widget.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <QApplication>
#include <QScrollBar>
#include <string>
#include <vector>

namespace {

using namespace tambrel;
using Clock = std::chrono::steady_clock;

// Answers the save dialog with a file outside the server and every question with Yes.
class AnsweringDialogs final : public UserDialogs {
public:
    MessageAnswer showMessage(std::string_view text, std::string_view,
                              MessageButtons buttons) override {
        if (buttons == MessageButtons::YesNo)
            return MessageAnswer::Yes;
        lastMessage = text;
        if (text != "Export complete" && otherMessages++ < 5)
            std::fprintf(stderr, "message: %.*s\n", static_cast<int>(text.size()), text.data());
        return MessageAnswer::Ok;
    }
    std::optional<std::string> askSaveFileName(const SaveDialogRequest&) override {
        return savePath;
    }
    void setMousePointer(MousePointer) override {}

    std::string savePath;
    std::string lastMessage;
    int otherMessages = 0;
};

// Resident and peak resident memory of this process, in bytes.
struct Memory {
    double resident = 0;
    double peak = 0;
};

Memory memoryNow() {
    Memory memory;
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0)
            memory.resident = std::atof(line.c_str() + 6) * 1024.0;
        else if (line.rfind("VmHWM:", 0) == 0)
            memory.peak = std::atof(line.c_str() + 6) * 1024.0;
    }
    return memory;
}

// One stage's figures, passed from the child to the parent as bytes.
struct Stage {
    char name[24];
    double seconds;
    Memory memory;
};

template <typename Work> Stage timed(const char* name, Work&& work) {
    const auto start = Clock::now();
    work();
    Stage stage{};
    std::snprintf(stage.name, sizeof stage.name, "%s", name);
    stage.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    stage.memory = memoryNow();
    return stage;
}

bool generateServer(const std::string& prefix, long files) {
    if (std::filesystem::exists(prefix + "/.tambrel-sample-server") &&
        std::filesystem::exists(prefix + "/files-" + std::to_string(files)))
        return true;
    std::printf("generating a server of %ld files in %s\n", files, prefix.c_str());
    std::fflush(stdout);
    const std::string command = std::string("python3 '") + TAMBREL_SAMPLE_SERVER_SCRIPT + "' '" +
                                prefix + "' --files " + std::to_string(files) + " >/dev/null";
    if (std::system(command.c_str()) != 0)
        return false;
    std::ofstream(prefix + "/files-" + std::to_string(files)) << files << "\n";
    return true;
}

// The whole run for one server; returns the row count, or -1 when something failed.
// Each finished stage is appended to `sent`.
long runOneSize(const std::string& prefix, const std::string& exportFolder, std::string& sent) {
    ::setenv("WINEPREFIX", prefix.c_str(), 1);
    int argc = 1;
    char name[] = "scale_bench";
    char* argv[] = {name, nullptr};
    QApplication application(argc, argv);
    AnsweringDialogs dialogs;
    installUserDialogs(&dialogs);

    auto send = [&](const Stage& stage) {
        sent.append(reinterpret_cast<const char*>(&stage), sizeof stage);
    };
    send(timed("before", [] {}));

    frmMain form;
    send(timed("scan (Form_Load)", [&] { form.Form_Load(); }));
    send(timed("show and paint", [&] {
        form.show();
        QApplication::processEvents();
        form.gridGreetings().viewport()->repaint();
        form.gridPrompts().viewport()->repaint();
    }));
    send(timed("scroll to last row", [&] {
        for (GridWidget* grid : {&form.gridGreetings(), &form.gridPrompts()}) {
            grid->verticalScrollBar()->setValue(grid->verticalScrollBar()->maximum());
            grid->viewport()->repaint();
        }
    }));
    bool exported = true;
    send(timed("export greetings", [&] {
        dialogs.savePath = exportFolder + "/greetings.csv";
        form.mnuGreetingsToCSV_Click();
        exported = exported && dialogs.lastMessage == "Export complete";
    }));
    send(timed("export prompts", [&] {
        dialogs.savePath = exportFolder + "/prompts.csv";
        form.mnuPromptToCSV_Click();
        exported = exported && dialogs.lastMessage == "Export complete";
    }));
    const long rows = form.gridGreetings().Rows() - 1 + form.gridPrompts().Rows() - 1;
    // Three reloads: the memory after each must settle, not climb.
    send(timed("reload", [&] { form.cmdReload_Click(); }));
    send(timed("second reload", [&] { form.cmdReload_Click(); }));
    send(timed("third reload", [&] { form.cmdReload_Click(); }));
    send(timed("sort by file name", [&] {
        form.gridGreetings().sortByColumn(form.gridGreetings().ColIndex("FileName"),
                                          Qt::AscendingOrder);
        form.gridPrompts().sortByColumn(form.gridPrompts().ColIndex("FileName"),
                                        Qt::AscendingOrder);
    }));
    const long rowsAfterReload = form.gridGreetings().Rows() - 1 + form.gridPrompts().Rows() - 1;
    installUserDialogs(nullptr);
    if (!exported) {
        std::fprintf(stderr, "an export failed: %s\n", dialogs.lastMessage.c_str());
        return -1;
    }
    return rows == rowsAfterReload ? rows : -1;
}

std::uintmax_t sizeOf(const std::string& path) {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    return error ? 0 : size;
}

} // namespace

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    std::vector<long> sizes;
    std::string folder;
    bool keep = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--prefix-folder") == 0 && i + 1 < argc)
            folder = argv[++i];
        else if (std::strcmp(argv[i], "--keep") == 0)
            keep = true;
        else
            sizes.push_back(std::atol(argv[i]));
    }
    if (sizes.empty())
        sizes = {100000, 1000000};
    const bool madeFolder = folder.empty();
    if (madeFolder) {
        const std::optional<std::filesystem::path> made =
            tambrel::testing::makeFreshFolder("tambrel-scale-bench-");
        if (!made) {
            std::fprintf(stderr, "no temporary folder could be made\n");
            return 1;
        }
        folder = made->string();
    }

    struct Summary {
        long files;
        long rows;
        std::vector<Stage> stages;
        std::uintmax_t exportBytes;
    };
    std::vector<Summary> summaries;
    int status = 0;
    for (long files : sizes) {
        const std::string prefix = folder + "/server-" + std::to_string(files);
        if (!generateServer(prefix, files)) {
            std::fprintf(stderr, "generating the server failed\n");
            return 1;
        }
        const std::string exportFolder = folder + "/export-" + std::to_string(files);
        std::filesystem::create_directories(exportFolder);
        // Read once, so every size is measured on a warm cache.
        (void)std::system(
            ("find '" + prefix + "/drive_c' -type f -exec cat {} + >/dev/null").c_str());

        // Each size in a process of its own, so that its peak memory is its own.
        const std::optional<tambrel::testing::ChildOutcome> child =
            tambrel::testing::runInChildProcess([&] {
                std::string sent;
                const long rows = runOneSize(prefix, exportFolder, sent);
                Stage last{};
                std::snprintf(last.name, sizeof last.name, "rows");
                last.seconds = static_cast<double>(rows);
                sent.append(reinterpret_cast<const char*>(&last), sizeof last);
                return sent;
            });
        Summary summary{files, -1, {}, 0};
        const std::string received = child ? child->output : std::string();
        for (std::size_t at = 0; at + sizeof(Stage) <= received.size(); at += sizeof(Stage)) {
            Stage stage;
            std::memcpy(&stage, received.data() + at, sizeof stage);
            if (std::strcmp(stage.name, "rows") == 0)
                summary.rows = static_cast<long>(stage.seconds);
            else
                summary.stages.push_back(stage);
        }
        if (!child || child->exitCode != 0 || summary.rows < 0)
            status = 1;
        summary.exportBytes =
            sizeOf(exportFolder + "/greetings.csv") + sizeOf(exportFolder + "/prompts.csv");
        std::filesystem::remove_all(exportFolder);

        std::printf("\n%ld files, %ld rows, %.1f MB exported\n", files, summary.rows,
                    static_cast<double>(summary.exportBytes) / 1e6);
        std::printf("  %-20s %9s %10s %12s %12s %12s\n", "stage", "seconds", "us/file",
                    "resident MB", "peak MB", "peak B/file");
        const double baseline = summary.stages.empty() ? 0 : summary.stages.front().memory.resident;
        for (const Stage& s : summary.stages) {
            if (std::strcmp(s.name, "before") == 0)
                continue;
            std::printf("  %-20s %9.3f %10.2f %12.1f %12.1f %12.1f\n", s.name, s.seconds,
                        1e6 * s.seconds / static_cast<double>(files), s.memory.resident / 1e6,
                        s.memory.peak / 1e6,
                        (s.memory.peak - baseline) / static_cast<double>(files));
        }
        std::fflush(stdout);
        summaries.push_back(std::move(summary));
    }

    if (summaries.size() > 1) {
        // Per-file figures of the largest size against the smallest: near 1 means linear.
        const Summary& small = summaries.front();
        const Summary& large = summaries.back();
        std::printf("\ngrowth per file from %ld to %ld files (1.00 = in proportion)\n", small.files,
                    large.files);
        for (std::size_t i = 1; i < small.stages.size() && i < large.stages.size(); ++i) {
            const double perFileSmall = small.stages[i].seconds / static_cast<double>(small.files);
            const double perFileLarge = large.stages[i].seconds / static_cast<double>(large.files);
            std::printf("  %-20s time %.2f\n", large.stages[i].name, perFileLarge / perFileSmall);
        }
        const auto peakPerFile = [](const Summary& s) {
            return (s.stages.back().memory.peak - s.stages.front().memory.resident) /
                   static_cast<double>(s.files);
        };
        std::printf("  %-20s memory %.2f\n", "peak", peakPerFile(large) / peakPerFile(small));
    }
    if (madeFolder && !keep)
        std::filesystem::remove_all(folder);
    else
        std::printf("servers kept in %s\n", folder.c_str());
    return status;
}
