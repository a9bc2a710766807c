// Fills the Qt grid with file rows exactly as the scan does (drawing suspended, AddItem and five
// cell writes per row), fits three columns, resumes drawing and paints once, on the offscreen
// platform; prints each phase's time, the cost per row and the process's peak memory. Peak
// memory is the whole process's, so measure one size per run:
//
//   grid_bench [rows=100000]

#include "platform/testing/measurement.h"
#include "ui/grid_widget.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <QApplication>
#include <string>

namespace {

using namespace tambrel;
using Clock = std::chrono::steady_clock;

template <typename Work> double secondsOf(Work&& work) {
    const auto start = Clock::now();
    work();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double peakMegabytes() {
    return testing::peakResidentMebibytes();
}

struct SampleRow {
    std::string path;
    const char* codec;
    const char* sampleRate;
    const char* date;
    std::string size;
};

// A server's mix: a handful of codecs and days, every path different.
SampleRow sampleRow(std::size_t index) {
    static const char* codecs[] = {"PCM",      "G.711 mu-law",    "G.711 a-law",
                                   "GSM 6.10", "Intel DVI ADPCM", "G.729a"};
    static const char* dates[] = {"3/14/2023", "11/2/2024", "7/30/2025", "1/5/2026"};
    SampleRow row;
    row.path = "C:\\Corvel\\Localize\\Prompts\\ENU\\folder" + std::to_string(index / 1000) +
               "\\greeting_" + std::to_string(100000 + index) + ".wav";
    row.codec = codecs[index % 6];
    row.sampleRate = index % 3 ? " 8000" : " 16000";
    row.date = dates[index % 4];
    row.size = std::string(1, ' ').append(std::to_string(12044 + index % 5000));
    return row;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const std::size_t count = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 100000;

    // The rows' texts are made on the fly, as a scan makes them from one folder at a time;
    // the time that takes alone is taken off the fill.
    std::size_t textBytes = 0;
    const double making = secondsOf([&] {
        for (std::size_t i = 0; i < count; ++i)
            textBytes += sampleRow(i).path.size();
    });
    const double baseline = peakMegabytes();

    GridWidget grid;
    grid.resize(1000, 400);
    grid.show();
    QApplication::processEvents();

    const int fileName = grid.ColIndex("FileName");
    const int codec = grid.ColIndex("Codec");
    const int fileSize = grid.ColIndex("FileSize");
    const int sampleRate = grid.ColIndex("SampleRate");
    const int lastModified = grid.ColIndex("LastModified");
    bool failed = false;
    const double fillAndMaking = secondsOf([&] {
        grid.SetRedraw(RedrawMode::Suspended);
        for (std::size_t i = 0; i < count; ++i) {
            const SampleRow row = sampleRow(i);
            failed |= !grid.AddItem(row.codec, grid.Rows()).ok();
            const std::int32_t last = grid.Rows() - 1;
            failed |= !grid.SetCell(last, fileName, row.path).ok();
            failed |= !grid.SetCell(last, codec, row.codec).ok();
            failed |= !grid.SetCell(last, fileSize, row.size).ok();
            failed |= !grid.SetCell(last, sampleRate, row.sampleRate).ok();
            failed |= !grid.SetCell(last, lastModified, row.date).ok();
        }
    });
    const double size = secondsOf([&] {
        failed |= !grid.AutoSize(fileName).ok();
        failed |= !grid.AutoSize(codec).ok();
        failed |= !grid.AutoSize(lastModified).ok();
    });
    const double resume = secondsOf([&] {
        grid.SetRedraw(RedrawMode::Buffered);
        grid.repaint();
        QApplication::processEvents();
    });
    const double fill = fillAndMaking - making;
    const double sort = secondsOf([&] { grid.sortByColumn(fileName, Qt::DescendingOrder); });
    const double bytes = static_cast<double>(grid.gridModel().cells().bytesUsed());

    const double perRow = 1e6 / static_cast<double>(count);
    std::printf("rows                          %zu%s\n", count,
                failed ? "  (a grid call failed)" : "");
    std::printf("fill (suspended)              %.3f s   %.2f us/row\n", fill, fill * perRow);
    std::printf("AutoSize x3                   %.3f s   %.2f us/row\n", size, size * perRow);
    std::printf("fill + size                   %.3f s   %.2f us/row\n", fill + size,
                (fill + size) * perRow);
    std::printf("resume and paint              %.3f s\n", resume);
    std::printf("sort by file name (click)     %.3f s\n", sort);
    std::printf("path text                     %.1f MB\n",
                static_cast<double>(textBytes) / 1048576.0);
    std::printf("cell storage                  %.1f MB  %.1f bytes/row\n", bytes / 1048576.0,
                bytes / static_cast<double>(count));
    std::printf(
        "peak RSS                      %.1f MB  (%.1f MB before the grid; target < 400 MB at "
        "1,000,000 rows)\n",
        peakMegabytes(), baseline);
    std::printf("column widths px              FileName %d, Codec %d, LastModified %d\n",
                grid.columnWidth(fileName), grid.columnWidth(codec),
                grid.columnWidth(lastModified));
    return failed ? 1 : 0;
}
