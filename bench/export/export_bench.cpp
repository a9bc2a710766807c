// Measures the export command against the floor the disk sets: fills a grid with realistic file
// rows, exports it through the whole command (dialogs answered by a fake), then writes the very
// same bytes with a bare open/write/close loop, and prints both rates and their ratio. The bare
// write is timed with and without fsync. The export flushes its file to the disk before the
// rename, so the write with fsync is the one doing the same work; the target is judged on it.
//
//   export_bench [rows...] [--folder DIR]     (rows default to 100000 1000000)

#include "common/user_dialogs.h"
#include "export/csv_export.h"
#include "inventory/file_system.h"
#include "platform/testing/file_tricks.h"
#include "platform/testing/measurement.h"
#include "tests/support/memory_grid.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

using namespace tambrel;
using Clock = std::chrono::steady_clock;

class AnsweringDialogs final : public UserDialogs {
public:
    explicit AnsweringDialogs(std::string path) : path_(std::move(path)) {}
    MessageAnswer showMessage(std::string_view text, std::string_view,
                              MessageButtons buttons) override {
        if (buttons == MessageButtons::YesNo)
            return MessageAnswer::Yes;
        lastMessage = text;
        return MessageAnswer::Ok;
    }
    std::optional<std::string> askSaveFileName(const SaveDialogRequest&) override { return path_; }
    void setMousePointer(MousePointer) override {}

    std::string lastMessage;

private:
    std::string path_;
};

// The mix of a server: a few codecs, paths of mailboxes, greetings and prompts in many
// languages, telephony sample rates, dates across the years, sizes of a few seconds of speech.
void fill(MemoryGrid& grid, std::int32_t rows) {
    static const char* codecs[] = {"PCM",      "G.711 mu-law", "G.711 A-law",
                                   "GSM 6.10", "IMA ADPCM",    "Unknown Codec=-2"};
    static const char* folders[] = {
        "C:\\Corvel\\Stream Files\\Greetings\\", "C:\\Corvel\\Stream Files\\Voice Names\\",
        "C:\\Corvel\\Localize\\ENU\\Prompts\\", "C:\\Corvel\\Localize\\DEU\\Prompts\\"};
    static const char* rates[] = {" 8000", " 11025", " 16000", " 22050"};
    const std::int32_t codec = grid.ColIndex("Codec"), fileName = grid.ColIndex("FileName"),
                       sampleRate = grid.ColIndex("SampleRate"),
                       lastModified = grid.ColIndex("LastModified"),
                       fileSize = grid.ColIndex("FileSize");
    std::string path, date, size;
    for (std::int32_t i = 0; i < rows; ++i) {
        const std::int32_t row = grid.Rows();
        (void)grid.AddItem("", row);
        path.assign(folders[i % 4]).append("Mailbox").append(std::to_string(10000 + i / 7));
        path.append("\\greeting_").append(std::to_string(i % 7)).append(".wav");
        date.assign(std::to_string(1 + i % 12)).append("/").append(std::to_string(1 + i % 28));
        date.append("/").append(std::to_string(2004 + i % 22));
        size.clear();
        size.push_back(' ');
        size.append(std::to_string(4044 + (i * 7919) % 480000));
        (void)grid.SetCell(row, codec, codecs[i % 6]);
        (void)grid.SetCell(row, fileName, path);
        (void)grid.SetCell(row, sampleRate, rates[i % 4]);
        (void)grid.SetCell(row, lastModified, date);
        (void)grid.SetCell(row, fileSize, size);
    }
}

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

enum class Flush { None, Sync };

// The floor: the same bytes, 1 MiB at a time, into a fresh file.
double plainWrite(const std::string& path, const std::string& bytes, Flush flush) {
    testing::flushFileSystems();
    const Clock::time_point start = Clock::now();
    if (!testing::writePlainFile(path, bytes, flush == Flush::Sync)) {
        std::perror("write");
        std::exit(1);
    }
    const double seconds = secondsSince(start);
    std::filesystem::remove(path);
    return seconds;
}

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void measure(std::int32_t rows, const std::string& folder) {
    MemoryGrid grid = MemoryGrid::withFileRowColumns();
    fill(grid, rows);
    const std::string target = folder + "/export.csv";
    AnsweringDialogs dialogs(target);
    UserDialogs* previous = installUserDialogs(&dialogs);
    const FileSystemObject fileSystem(folder + "/no-prefix");

    constexpr int kRounds = 3;
    double exportBest = 1e9, plainBest = 1e9, syncedBest = 1e9;
    std::string bytes;
    for (int round = 0; round < kRounds; ++round) {
        std::filesystem::remove(target);
        // Each timed write starts with nothing dirty in the page cache, so none pays for the
        // writeback of another.
        testing::flushFileSystems();
        const Clock::time_point start = Clock::now();
        runCsvExportCommand(CsvExportTarget::Greetings, grid, fileSystem);
        exportBest = std::min(exportBest, secondsSince(start));
        if (dialogs.lastMessage != "Export complete") {
            std::fprintf(stderr, "export failed: %s\n", dialogs.lastMessage.c_str());
            std::exit(1);
        }
        if (bytes.empty())
            bytes = readAll(target);
        plainBest = std::min(plainBest, plainWrite(folder + "/plain.csv", bytes, Flush::None));
        syncedBest = std::min(syncedBest, plainWrite(folder + "/plain.csv", bytes, Flush::Sync));
    }
    std::filesystem::remove(target);
    installUserDialogs(previous);

    const double megabytes = static_cast<double>(bytes.size()) / 1e6;
    std::printf("%8d rows  %7.1f MB  export %7.1f MB/s  plain write %7.1f MB/s (ratio %.2f)  "
                "plain write+fsync %7.1f MB/s (ratio %.2f, target >= 0.5)\n",
                rows, megabytes, megabytes / exportBest, megabytes / plainBest,
                plainBest / exportBest, megabytes / syncedBest, syncedBest / exportBest);
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::int32_t> rowCounts;
    std::string folder;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--folder") == 0 && i + 1 < argc)
            folder = argv[++i];
        else
            rowCounts.push_back(static_cast<std::int32_t>(std::atol(argv[i])));
    }
    if (rowCounts.empty())
        rowCounts = {100000, 1000000};

    bool madeFolder = false;
    if (folder.empty()) {
        const std::optional<std::filesystem::path> made = testing::makeFreshFolder("export-bench-");
        if (!made) {
            std::fprintf(stderr, "no temporary folder could be made\n");
            return 1;
        }
        folder = made->string();
        madeFolder = true;
    }
    std::printf("best of 3 rounds in %s\n", folder.c_str());
    for (std::int32_t rows : rowCounts)
        measure(rows, folder);
    if (madeFolder)
        std::filesystem::remove_all(folder);
    return 0;
}
