// Reading two inventory documents and comparing them, as `--compare` does at a million files:
// the seconds it takes (wall and processor), and the memory it holds at its peak against the
// rows' own size (each row's struct and the text its strings keep on the heap).
//
//     report_bench [rows] [json|jsonl]    default: 1,000,000 rows, JSON
//
// The documents are written to the temporary folder first (the writer's own time is printed
// too), then read back from there, so the page cache serves them as it would a recent run's.

#include "platform/testing/file_tricks.h"
#include "platform/testing/measurement.h"
#include "report/comparison.h"
#include "report/document_reader.h"
#include "report/document_writer.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

namespace {

using namespace tambrel;
using namespace tambrel::report;
using Clock = std::chrono::steady_clock;

class FileSink : public TextSink {
public:
    explicit FileSink(const std::filesystem::path& path) : file_(std::fopen(path.c_str(), "wb")) {}
    ~FileSink() override {
        if (file_)
            std::fclose(file_);
    }
    Status write(std::string_view text) override {
        if (!file_ || std::fwrite(text.data(), 1, text.size(), file_) != text.size())
            return Failure{5, "write failed"};
        return {};
    }

private:
    std::FILE* file_;
};

class FileSource : public ChunkSource {
public:
    // The size is given as the tool's own file source gives it, so that the reader makes room
    // for its rows once, as it does there.
    explicit FileSource(const std::filesystem::path& path)
        : file_(std::fopen(path.c_str(), "rb")), size_(std::filesystem::file_size(path)) {}
    ~FileSource() override {
        if (file_)
            std::fclose(file_);
    }
    Result<std::size_t> read(std::span<char> buffer) override {
        if (!file_)
            return Failure{2, "cannot open"};
        return std::fread(buffer.data(), 1, buffer.size(), file_);
    }
    std::optional<std::uint64_t> sizeHint() const override { return size_; }

private:
    std::FILE* file_;
    std::uint64_t size_ = 0;
};

// A server's row as a scan gives it: mailbox folders of ten greetings, prompts by language.
InventoryRow rowNumber(std::size_t index, bool later) {
    InventoryRow row;
    row.list = index % 5 == 0 ? ListKind::Prompts : ListKind::Greetings;
    char path[128];
    if (row.list == ListKind::Prompts)
        std::snprintf(path, sizeof path, "C:\\Corvel\\Prompts\\ENU\\prompt_%07zu.wav", index);
    else
        std::snprintf(path, sizeof path, "C:\\Corvel\\Greetings\\mailbox_%06zu\\greeting_%07zu.wav",
                      index / 10, index);
    row.file = path;
    const bool recorded = later && index % 100 == 7; // one in a hundred recorded again
    row.codec = recorded ? "GSM 6.10" : "CCITT u-Law";
    row.formatTag = recorded ? 0x31 : 7;
    row.formatName = recorded ? "GSM 6.10" : "mu-law";
    row.sampleRate = 8000;
    row.channels = 1;
    row.bitsPerSample = 8;
    row.blockAlign = 1;
    row.byteRate = 8000;
    row.dataBytes = 8000 + index % 4000;
    row.durationSeconds = static_cast<double>(*row.dataBytes) / 8000;
    row.size = *row.dataBytes + 58;
    row.modified = ModificationTime{1796724000 - static_cast<std::int64_t>(index), 60};
    return row;
}

double writeDocumentFile(const std::filesystem::path& path, std::size_t rows, bool later,
                         DocumentForm form) {
    const auto start = Clock::now();
    FileSink sink(path);
    DocumentWriter writer(sink, form);
    DocumentHeader header;
    header.host = later ? "CORVEL01" : "CORVEL01";
    header.scannedAt = later ? "2026-12-08T10:00:00Z" : "2026-12-01T10:00:00Z";
    header.toolVersion = "1.0.12";
    header.root = "C:\\Corvel";
    header.lists = {ListKind::Greetings, ListKind::Prompts};
    Status status = writer.begin(header);
    // The later scan lost one file in two hundred and gained as many new ones.
    for (std::size_t i = 0; status && i < rows; ++i) {
        const std::size_t index = later && i % 200 == 3 ? rows + i : i;
        status = writer.add(rowNumber(index, later));
    }
    if (status)
        status = writer.finish();
    if (!status) {
        std::fprintf(stderr, "writing %s: %s\n", path.c_str(),
                     status.failure().description.c_str());
        std::exit(1);
    }
    return std::chrono::duration<double>(Clock::now() - start).count();
}

std::size_t heapBytes(const std::string& text) {
    // Short strings live inside the struct.
    return text.capacity() > 15 ? text.capacity() + 1 : 0;
}

std::size_t rowsOwnSize(const std::vector<InventoryRow>& rows) {
    std::size_t bytes = rows.size() * sizeof(InventoryRow);
    for (const InventoryRow& row : rows)
        bytes += heapBytes(row.file) + (row.codec ? heapBytes(*row.codec) : 0) +
                 heapBytes(row.formatName) + heapBytes(row.modifiedText) + heapBytes(row.problem) +
                 heapBytes(row.problemText);
    return bytes;
}

long peakKilobytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    return 0;
}

long currentKilobytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    return 0;
}

double processorSeconds() {
    return tambrel::testing::processorSeconds(tambrel::testing::ProcessorClock::WholeProcess);
}

} // namespace

int main(int argc, char** argv) {
    const std::size_t rows = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 1000000;
    const DocumentForm form =
        argc > 2 && std::string(argv[2]) == "jsonl" ? DocumentForm::JsonLines : DocumentForm::Json;
    const std::optional<std::filesystem::path> made =
        tambrel::testing::makeFreshFolder("report_bench_");
    if (!made) {
        std::fprintf(stderr, "no temporary folder could be made\n");
        return 1;
    }
    const std::filesystem::path folder = *made;
    const std::filesystem::path earlierPath = folder / "earlier.json";
    const std::filesystem::path laterPath = folder / "later.json";
    const double written = writeDocumentFile(earlierPath, rows, false, form) +
                           writeDocumentFile(laterPath, rows, true, form);
    const auto documentBytes =
        std::filesystem::file_size(earlierPath) + std::filesystem::file_size(laterPath);

    // The peak is counted from here: the resident size now, and the high-water mark cleared.
    std::ofstream("/proc/self/clear_refs") << "5";
    const long before = currentKilobytes();
    const double processorBefore = processorSeconds();
    const auto start = Clock::now();
    FileSource earlierSource(earlierPath), laterSource(laterPath);
    Result<DocumentPair> documents =
        readDocumentPair(earlierSource, earlierPath.string(), laterSource, laterPath.string());
    if (!documents) {
        std::fprintf(stderr, "%s\n", documents.failure().description.c_str());
        return 1;
    }
    const InventoryDocument& earlier = documents->earlier;
    const InventoryDocument& later = documents->later;
    const auto read = Clock::now();
    const double readProcessor = processorSeconds() - processorBefore;
    const Comparison comparison = compareDocuments(earlier, later);
    const auto compared = Clock::now();
    const double processor = processorSeconds() - processorBefore;
    const long peak = peakKilobytes() - before;

    const double ownMegabytes =
        static_cast<double>(rowsOwnSize(earlier.rows) + rowsOwnSize(later.rows)) / 1e6;
    const double seconds = std::chrono::duration<double>(compared - start).count();
    std::printf("rows per document:        %zu (%s)\n", rows,
                form == DocumentForm::Json ? "JSON" : "JSON Lines");
    std::printf("documents on disk:        %.1f MB (written in %.2f s)\n",
                static_cast<double>(documentBytes) / 1e6, written);
    std::printf("read both, one thread each: %.2f s wall, %.2f s processor\n",
                std::chrono::duration<double>(read - start).count(), readProcessor);
    std::printf("compare:                  %.2f s (%zu added, %zu removed, %zu changed)\n",
                std::chrono::duration<double>(compared - read).count(), comparison.added.size(),
                comparison.removed.size(), comparison.changed.size());
    std::printf("read + compare:           %.2f s wall, %.2f s processor (limit 2 s)\n", seconds,
                processor);
    std::printf("rows' own size:           %.1f MB\n", ownMegabytes);
    std::printf("peak memory above start:  %.1f MB = %.2f x the rows' own size (limit 2)\n",
                static_cast<double>(peak) * 1024 / 1e6,
                static_cast<double>(peak) * 1024 / 1e6 / ownMegabytes);
    std::filesystem::remove_all(folder);
    return 0;
}
