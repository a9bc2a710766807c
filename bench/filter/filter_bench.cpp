// Fills the Qt grid with typed file rows as the scan hands them over, then filters it as a user
// does: the find text typed letter by letter, a letter deleted, a codec word, "only files with
// problems". Prints each refilter's time and the bytes a row the filter holds, beside the grid's
// own figures (time to fill, bytes a row of the model), each against its floor. Times are the
// processor's (the wall time beside them):
//
//   filter_bench [rows=1000000]

#include "ui/grid_widget.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <QApplication>
#include <string>

namespace {

using namespace tambrel;
using Clock = std::chrono::steady_clock;

constexpr double kRefilterFloorMs = 100;
constexpr double kFilterBytesFloor = 16;

// The processor time of the last measurement: on a shared machine the wall time also holds the
// time other programs had the processor, the processor time does not.
double lastProcessorMs = 0;

template <typename Work> double millisecondsOf(Work&& work) {
    const std::clock_t processorStart = std::clock();
    const auto start = Clock::now();
    work();
    lastProcessorMs = 1000.0 * static_cast<double>(std::clock() - processorStart) / CLOCKS_PER_SEC;
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// A server's mix: a handful of codecs and rates, one file in twenty named beyond ASCII, one in
// fifty with a problem, every path different.
FileFacts sampleFacts(std::size_t index) {
    static const std::int16_t tags[] = {1, 7, 6, 0x31, 0x11, 0x133};
    FileFacts facts;
    facts.path = "C:\\Corvel\\Localize\\Prompts\\" +
                 std::string(index % 20 == 0 ? "Ansagen_ÄÖÜ" : "ENU") + "\\folder" +
                 std::to_string(index / 1000) + "\\greeting_" + std::to_string(100000 + index) +
                 ".wav";
    facts.header = {HeaderKind::Wave, tags[index % 6], index % 3 ? 8000 : 16000};
    facts.hasStatus = true;
    facts.size = 12044 + static_cast<std::int64_t>(index % 5000);
    facts.lastModified.tv_sec = 1700000000 + static_cast<std::time_t>(index % 1000) * 86400;
    facts.wav.setFormatTag(static_cast<std::uint16_t>(facts.header.formatTag));
    facts.wav.setChannels(1);
    facts.wav.setBitsPerSample(16);
    facts.wav.setByteRate(16000);
    facts.wav.setDataBytes(static_cast<std::uint64_t>(facts.size - 44));
    if (index % 50 == 0)
        facts.wav.problem = WavProblem::Truncated;
    return facts;
}

struct Figures {
    double worstMs = 0;
    double filterBytes = 0;
};

void line(const char* what, double wallMs, std::int32_t shown, Figures& figures, GridWidget& grid,
          std::size_t rows) {
    const double ms = lastProcessorMs;
    figures.worstMs = std::max(figures.worstMs, ms);
    figures.filterBytes =
        std::max(figures.filterBytes,
                 static_cast<double>(grid.gridModel().filterBytes()) / static_cast<double>(rows));
    std::printf("  %-34s %8.1f ms  (wall %7.1f ms)  %9d rows shown%s\n", what, ms, wallMs, shown,
                ms > kRefilterFloorMs ? "  (over the floor)" : "");
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const std::size_t count = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 1000000;

    GridWidget grid;
    grid.resize(1000, 400);
    grid.show();
    QApplication::processEvents();

    bool failed = false;
    const double fill = millisecondsOf([&] {
        grid.SetRedraw(RedrawMode::Suspended);
        for (std::size_t i = 0; i < count; ++i)
            failed |= !grid.AddFileRow(sampleFacts(i)).ok();
        grid.SetRedraw(RedrawMode::Buffered);
        QApplication::processEvents();
    });
    const double cellBytes = static_cast<double>(grid.gridModel().cells().bytesUsed());
    const double recordBytes =
        static_cast<double>(grid.gridModel().records().capacity() * sizeof(FileRowRecord));
    const double rows = static_cast<double>(count);

    std::printf("rows                                 %zu%s\n", count,
                failed ? "  (a grid call failed)" : "");
    std::printf("grid: fill (suspended) and show      %.0f ms   %.2f us/row\n", fill,
                fill * 1000 / rows);
    std::printf("grid: model bytes a row              %.1f (cells %.1f, records %.1f)\n",
                (cellBytes + recordBytes) / rows, cellBytes / rows, recordBytes / rows);

    Figures typing;
    std::printf("find text typed letter by letter:\n");
    std::string text;
    for (char letter : std::string("greeting_1234")) {
        text.push_back(letter);
        RowFilter filter{text, false, {}};
        const double ms = millisecondsOf([&] { grid.setRowFilter(filter); });
        line(("\"" + text + "\"").c_str(), ms, grid.shownRowCount(), typing, grid, count);
    }
    Figures other;
    std::printf("other changes:\n");
    const struct {
        const char* what;
        RowFilter filter;
    } changes[] = {
        {"a letter deleted: \"greeting_123\"", {"greeting_123", false, {}}},
        {"a word beyond ASCII: \"äöü\"", {"äöü", false, {}}},
        {"a codec word: \"gsm\"", {"gsm", false, {}}},
        {"a word no row holds: \"zzz\"", {"zzz", false, {}}},
        {"cleared", {}},
        {"problems only", {"", true, {}}},
        {"problems only and \"folder12\"", {"folder12", true, {}}},
        {"cleared again", {}},
    };
    for (const auto& change : changes) {
        const double ms = millisecondsOf([&] { grid.setRowFilter(change.filter); });
        line(change.what, ms, grid.shownRowCount(), other, grid, count);
    }
    grid.setRowFilter({"greeting", false, {}});
    const double sortMs =
        millisecondsOf([&] { grid.sortByColumn(grid.ColIndex("FileName"), Qt::DescendingOrder); });
    std::printf("sort by file name while filtered     %.0f ms (not a keystroke; for comparison)\n",
                sortMs);

    const double worst = std::max(typing.worstMs, other.worstMs);
    const double bytes = std::max(typing.filterBytes, other.filterBytes);
    std::printf("slowest refilter                     %.1f ms   floor %.0f ms   %s\n", worst,
                kRefilterFloorMs, worst <= kRefilterFloorMs ? "within" : "OVER");
    std::printf("filter bytes a row (most held)       %.1f      floor %.0f      %s\n", bytes,
                kFilterBytesFloor, bytes <= kFilterBytesFloor ? "within" : "OVER");
    return failed ? 1 : 0;
}
