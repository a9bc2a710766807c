// Measures the inventory core against the floor the kernel sets: generates N WAV files, times a
// bare open/pread/fstat/close loop over them and then AddFileToGrid over the same files, and
// prints both rates, their ratio and the grid's memory per row beyond the path text.
//
//   inventory_bench [files=10000] [folder]     (a temporary folder is made and removed if none)

#include "common/user_dialogs.h"
#include "inventory/describe_file.h"
#include "inventory/file_system.h"
#include "platform/testing/file_tricks.h"
#include "platform/testing/measurement.h"
#include "tests/support/memory_grid.h"
#include "ui/grid_scan_sink.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

using namespace tambrel;
using Clock = std::chrono::steady_clock;

std::string littleEndian(std::uint64_t value, int bytes) {
    std::string out;
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    return out;
}

std::string chunk(std::string_view id, std::string_view payload) {
    std::string out = std::string(id) + littleEndian(payload.size(), 4) + std::string(payload);
    if (payload.size() % 2)
        out.push_back('\0');
    return out;
}

std::string formatChunk(std::uint16_t tag, std::uint32_t rate) {
    return chunk("fmt ", littleEndian(tag, 2) + littleEndian(1, 2) + littleEndian(rate, 4) +
                             littleEndian(rate * 2, 4) + littleEndian(2, 2) + littleEndian(16, 2));
}

std::string wave(const std::string& body) {
    return "RIFF" + littleEndian(body.size() + 4, 4) + "WAVE" + body;
}

// The mix a server holds: mostly canonical telephony files, some with a LIST or JUNK chunk
// first, an odd text file.
std::string sampleFile(std::size_t index) {
    static const std::uint16_t tags[] = {1, 6, 7, 0x31, 0x11, 0x0133};
    const std::string sound = chunk("data", std::string(160, '\x55'));
    switch (index % 20) {
    case 0:
        return wave(chunk("LIST", "INFOISFTrecorder 4.2") + formatChunk(1, 8000) + sound);
    case 1:
        return wave(chunk("JUNK", std::string(28, '\0')) + formatChunk(7, 8000) + sound);
    case 2:
        return "voice name notes, not a recording\n";
    default:
        return wave(formatChunk(tags[index % 6], index % 3 ? 8000 : 16000) + sound);
    }
}

std::vector<FileEntry> generateTree(const std::filesystem::path& root, std::size_t count) {
    std::vector<FileEntry> files;
    files.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::filesystem::path folder = root / ("folder" + std::to_string(i / 1000));
        if (i % 1000 == 0)
            std::filesystem::create_directories(folder);
        const std::string name = "greeting_" + std::to_string(100000 + i) + ".wav";
        std::ofstream(folder / name, std::ios::binary) << sampleFile(i);
    }
    // Listed through the file-system object, as the scan lists them.
    FileSystemObject fileSystem;
    Result<FolderEntry> top = fileSystem.GetFolder(root.string());
    if (!top)
        return files;
    Result<std::vector<FolderEntry>> folders = fileSystem.SubFolders(top.value());
    if (!folders)
        return files;
    for (const FolderEntry& folder : folders.value()) {
        Result<std::vector<FileEntry>> listed = fileSystem.Files(folder);
        if (listed)
            for (FileEntry& file : listed.value())
                files.push_back(std::move(file));
    }
    return files;
}

// The floor: exactly the system calls one file row needs, and nothing else.
std::size_t bareSystemCalls(const std::vector<FileEntry>& files) {
    std::size_t bytes = 0;
    for (const FileEntry& file : files)
        bytes += testing::headerReadOf(file.hostPath, 38);
    return bytes;
}

class SilentDialogs final : public UserDialogs {
public:
    MessageAnswer showMessage(std::string_view, std::string_view, MessageButtons) override {
        ++messages;
        return MessageAnswer::Ok;
    }
    std::optional<std::string> askSaveFileName(const SaveDialogRequest&) override { return {}; }
    void setMousePointer(MousePointer) override {}
    int messages = 0;
};

template <typename Work> double secondsOf(Work&& work) {
    const auto start = Clock::now();
    work();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

} // namespace

int main(int argc, char** argv) {
    const std::size_t count = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 10000;
    std::filesystem::path root;
    bool removeAfterwards = false;
    if (argc > 2) {
        root = argv[2];
    } else {
        const std::optional<std::filesystem::path> made =
            testing::makeFreshFolder("tambrel-bench-");
        if (!made) {
            std::fprintf(stderr, "no temporary folder could be made\n");
            return 1;
        }
        root = *made;
        removeAfterwards = true;
    }

    std::printf("generating %zu files in %s\n", count, root.c_str());
    const std::vector<FileEntry> files = generateTree(root, count);
    if (files.size() != count) {
        std::fprintf(stderr, "listed %zu of %zu files\n", files.size(), count);
        return 1;
    }
    std::size_t pathBytes = 0;
    for (const FileEntry& file : files)
        pathBytes += file.path.size();

    SilentDialogs dialogs;
    installUserDialogs(&dialogs);

    (void)bareSystemCalls(files); // warm the caches
    const int rounds = 3;
    double bare = 1e9;
    double rows = 1e9;
    std::size_t gridBytes = 0;
    std::size_t heapBytes = 0;
    for (int round = 0; round < rounds; ++round) {
        bare = std::min(bare, secondsOf([&] { (void)bareSystemCalls(files); }));
        const std::size_t heapBefore = testing::heapBytesInUse();
        {
            MemoryGrid greetings = MemoryGrid::withFileRowColumns();
            MemoryGrid prompts = MemoryGrid::withFileRowColumns();
            rows = std::min(rows, secondsOf([&] {
                                for (const FileEntry& file : files)
                                    AddFileToGrid(describeFile(file, FileList::Greetings),
                                                  greetings, prompts);
                            }));
            gridBytes = greetings.cells().bytesUsed();
            heapBytes = testing::heapBytesInUse() - heapBefore;
            if (greetings.Rows() != static_cast<std::int32_t>(count + 1))
                std::fprintf(stderr, "grid holds %d rows\n", greetings.Rows());
        }
    }
    installUserDialogs(nullptr);

    const double bareRate = static_cast<double>(count) / bare;
    const double rowRate = static_cast<double>(count) / rows;
    std::printf("files                         %zu\n", count);
    std::printf("(a) open/pread/fstat/close    %.0f files/s\n", bareRate);
    std::printf("(b) AddFileToGrid             %.0f files/s\n", rowRate);
    std::printf("ratio b/a                     %.3f   (target >= 0.7)\n", rowRate / bareRate);
    std::printf("grid bytes per row (cells)    %.1f   beyond the path text (target <= 200)\n",
                static_cast<double>(gridBytes - pathBytes) / static_cast<double>(count));
    std::printf("heap bytes per row (malloc)   %.1f   beyond the path text\n",
                static_cast<double>(heapBytes - pathBytes) / static_cast<double>(count));
    std::printf("messages shown                %d\n", dialogs.messages);

    if (removeAfterwards)
        std::filesystem::remove_all(root);
    return 0;
}
