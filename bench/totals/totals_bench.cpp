// The totals window's refresh over a million row records as the grid model keeps them: the
// time of one count (best and worst of several) and the memory it adds, which should be that
// of its groups alone, not a byte a row.
//
//   totals_bench [rows=1000000] [rounds=10]

#include "platform/testing/measurement.h"
#include "ui/list_totals.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

using namespace tambrel;
using Clock = std::chrono::steady_clock;

long peakKilobytes() {
    return static_cast<long>(testing::peakResidentMebibytes() * 1024.0);
}

using testing::loadAverage;

// Rows of a few codecs and rates in runs, as folders of one kind of recording give them, with
// one file in fifty having a problem.
std::vector<FileRowRecord> makeRecords(std::size_t rows) {
    constexpr std::int16_t kTags[] = {1, 6, 7, 0x31, 0x11};
    constexpr std::int32_t kRates[] = {8000, 11025, 16000, 22050};
    std::vector<FileRowRecord> records;
    records.reserve(rows);
    for (std::size_t i = 0; i < rows; ++i) {
        FileFacts facts;
        const std::size_t run = i / 37;
        facts.header = {HeaderKind::Wave, kTags[run % 5], kRates[(run / 5) % 4]};
        facts.hasStatus = true;
        facts.size = static_cast<std::int64_t>(44 + (i * 7919) % 200000);
        if (i % 50 == 0)
            facts.wav.problem = static_cast<WavProblem>(1 + (i / 50) % 13);
        if (i % 997 == 0)
            facts.header = {HeaderKind::NotWave, 0, 0};
        records.push_back(FileRowRecord::fromFacts(facts));
    }
    return records;
}

} // namespace

int main(int argc, char** argv) {
    const std::size_t rows = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 1000000;
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 10;
    const std::vector<FileRowRecord> records = makeRecords(rows);
    const std::string loadBefore = loadAverage();
    const long peakBefore = peakKilobytes();

    double best = 1e9, worst = 0;
    std::size_t lines = 0;
    std::int64_t files = 0;
    for (int round = 0; round < rounds; ++round) {
        const auto start = Clock::now();
        const ListTotals totals = computeListTotals(records);
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        best = std::min(best, seconds);
        worst = std::max(worst, seconds);
        lines = totals.lines.size();
        files = totals.files;
    }
    const long added = peakKilobytes() - peakBefore;
    std::printf("load average before, after    %s, %s\n", loadBefore.c_str(),
                loadAverage().c_str());
    std::printf("rows                          %zu (%lld counted), %zu lines\n", rows,
                static_cast<long long>(files), lines);
    std::printf("totals refresh                best %.1f ms, worst %.1f ms (target <= 100 ms)\n",
                best * 1e3, worst * 1e3);
    std::printf("memory added                  %ld KiB, %.3f bytes a row (target <= 16)\n", added,
                static_cast<double>(added) * 1024.0 / static_cast<double>(rows));
    return files == static_cast<std::int64_t>(rows) ? 0 : 1;
}
