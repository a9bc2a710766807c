// The window's share of the load, seen from outside: starts the real program on a generated
// server of many files and on one of 100, each time until its main window has painted both grids
// filled (the program's start report, TAMBREL_START_REPORT), and prints the start on the large
// server less the start on the small one, against the single-threaded floor of the scan over the
// large server. The steps the program notes along its start are printed as well, as the same
// difference, so that the figure says where the time went.
//
//   window_start_bench [files=100000] [rounds=9]
//   TAMBREL_BENCH_PROGRAM: the program to start (the one built beside this benchmark)
//   TAMBREL_BENCH_EACH_ROUND=1: print every round's starts and floor as well
//
// On a shared virtual machine a round now and then runs long (a neighbour's load, pages of the
// server's files reclaimed between rounds), so the best of several rounds is the figure, and
// the medians of the rounds are printed beside it for what a round typically takes.
//
// Without a display it runs itself again under xvfb-run when that is installed, else on Qt's
// offscreen platform; the first line says which.

#include "platform/testing/measurement.h"
#include "platform/testing/process_tricks.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

long long nowNanoseconds() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch())
        .count();
}

using tambrel::testing::loadAverage;

bool generateServer(const std::string& prefix, std::size_t count) {
    const std::string command = std::string("python3 '") + TAMBREL_SAMPLE_SERVER_SCRIPT + "' '" +
                                prefix + "' --files " + std::to_string(count) + " >/dev/null";
    return std::system(command.c_str()) == 0;
}

bool onPath(const char* program) {
    const char* path = std::getenv("PATH");
    std::stringstream folders(path ? path : "");
    for (std::string folder; std::getline(folders, folder, ':');)
        if (std::filesystem::is_regular_file(std::filesystem::path(folder) / program))
            return true;
    return false;
}

// One start: the seconds from the spawn to each step the program noted (in its order), or
// nothing when the program did not write its report.
using Steps = std::vector<std::pair<std::string, double>>;

Steps startOnce(const std::string& program, const std::string& prefix,
                const std::string& reportPath, Steps& totals) {
    std::filesystem::remove(reportPath);
    ::setenv("TAMBREL_START_REPORT", reportPath.c_str(), 1);
    const long long started = nowNanoseconds();
    if (!tambrel::testing::runProgram({program, "--prefix", prefix})) {
        std::fprintf(stderr, "%s did not start or end normally\n", program.c_str());
        return {};
    }
    Steps steps;
    totals.clear();
    std::ifstream report(reportPath);
    for (std::string line; std::getline(report, line);) {
        const std::size_t space = line.rfind(' ');
        if (space == std::string::npos)
            continue;
        const long long figure = std::atoll(line.c_str() + space + 1);
        // "+what": a total of time spent, not a moment.
        if (line[0] == '+')
            totals.emplace_back(line.substr(1, space - 1), static_cast<double>(figure) / 1e9);
        else
            steps.emplace_back(line.substr(0, space), static_cast<double>(figure - started) / 1e9);
    }
    return steps;
}

double median(std::vector<double> values) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

double total(const Steps& steps) {
    return steps.empty() ? 1e9 : steps.back().second;
}

struct Start {
    Steps steps;
    Steps totals;
};

// The round with the shortest whole start, of `rounds`.
Start bestOf(const std::vector<Start>& rounds) {
    Start best;
    for (const Start& round : rounds)
        if (!round.steps.empty() && (best.steps.empty() || total(round.steps) < total(best.steps)))
            best = round;
    return best;
}

} // namespace

int main(int argc, char** argv) {
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY") &&
        !std::getenv("QT_QPA_PLATFORM")) {
        if (!std::getenv("TAMBREL_BENCH_UNDER_XVFB") && onPath("xvfb-run")) {
            ::setenv("TAMBREL_BENCH_UNDER_XVFB", "1", 1);
            std::vector<std::string> again{"xvfb-run", "-a", "-s", "-screen 0 1600x1200x24"};
            for (int i = 0; i < argc; ++i)
                again.emplace_back(argv[i]);
            if (std::optional<int> status = tambrel::testing::runProgram(again))
                return *status;
            std::fprintf(stderr, "xvfb-run did not start or end normally\n");
            return 1;
        }
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    if (!std::getenv("XDG_RUNTIME_DIR")) {
        // Qt warns on every start without one.
        const std::string runtime =
            "/tmp/tambrel-start-bench-runtime-" + std::to_string(::getuid());
        std::filesystem::create_directories(runtime);
        std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
        ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    }
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    std::printf("display                       %s\n",
                platform ? platform : (std::string("X server ") + std::getenv("DISPLAY")).c_str());

    const std::size_t count = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 100000;
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 9;
    const char* programSetting = std::getenv("TAMBREL_BENCH_PROGRAM");
    const std::string program = programSetting ? programSetting : TAMBREL_PROGRAM;

    std::string folder =
        (std::filesystem::temp_directory_path() / "tambrel-start-bench-XXXXXX").string();
    if (!::mkdtemp(folder.data())) {
        std::perror("mkdtemp");
        return 1;
    }
    const std::string large = folder + "/large";
    const std::string small = folder + "/small";
    const std::string reportPath = folder + "/report";
    std::printf("generating servers of %zu and 100 files in %s\n", count, folder.c_str());
    std::fflush(stdout);
    if (!generateServer(large, count) || !generateServer(small, 100)) {
        std::fprintf(stderr, "generating the servers failed\n");
        return 1;
    }
    const std::string largeRoot = large + "/drive_c/Corvel";

    const std::string loadBefore = loadAverage();
    // Warms the page cache, the dentry cache and the font cache before any timed round.
    (void)tambrel::testing::headerReadsBelow(largeRoot, 38);
    Steps ignored;
    (void)startOnce(program, small, reportPath, ignored);
    (void)startOnce(program, large, reportPath, ignored);

    std::vector<Start> largeRounds, smallRounds;
    std::vector<double> floors;
    for (int round = 0; round < rounds; ++round) {
        const auto floorStart = Clock::now();
        (void)tambrel::testing::headerReadsBelow(largeRoot, 38);
        floors.push_back(std::chrono::duration<double>(Clock::now() - floorStart).count());
        Start start;
        start.steps = startOnce(program, small, reportPath, start.totals);
        smallRounds.push_back(start);
        start.steps = startOnce(program, large, reportPath, start.totals);
        largeRounds.push_back(start);
    }
    const Start largeStart = bestOf(largeRounds);
    const Start smallStart = bestOf(smallRounds);
    const Steps& largeBest = largeStart.steps;
    const Steps& smallBest = smallStart.steps;
    std::filesystem::remove_all(folder);
    if (largeBest.empty() || smallBest.empty()) {
        std::fprintf(stderr, "the program wrote no start report\n");
        return 1;
    }

    const double floor = *std::min_element(floors.begin(), floors.end());
    const double difference = total(largeBest) - total(smallBest);
    std::printf("load average before, after    %s, %s\n", loadBefore.c_str(),
                loadAverage().c_str());
    std::printf("rounds                        %d, best of each\n", rounds);
    std::printf("start, %7zu files           %.3f s (worst %.3f s)\n", count, total(largeBest),
                total(std::max_element(largeRounds.begin(), largeRounds.end(),
                                       [](const Start& a, const Start& b) {
                                           return total(a.steps) < total(b.steps);
                                       })
                          ->steps));
    std::printf("start,     100 files           %.3f s\n", total(smallBest));
    std::printf("difference                    %.3f s\n", difference);
    std::printf("floor of the scan             %.3f s\n", floor);
    std::printf("difference / floor            %.2fx (target <= 0.60x)\n", difference / floor);
    std::vector<double> differences;
    for (std::size_t round = 0; round < largeRounds.size(); ++round)
        if (!largeRounds[round].steps.empty() && !smallRounds[round].steps.empty())
            differences.push_back(total(largeRounds[round].steps) -
                                  total(smallRounds[round].steps));
    if (std::getenv("TAMBREL_BENCH_EACH_ROUND"))
        for (std::size_t round = 0; round < largeRounds.size(); ++round)
            std::printf("  round %zu: large %.3f small %.3f floor %.3f\n", round,
                        total(largeRounds[round].steps), total(smallRounds[round].steps),
                        floors[round]);
    std::printf("medians: difference, floor    %.3f s, %.3f s: %.2fx\n", median(differences),
                median(floors), median(differences) / median(floors));
    std::printf("steps of the best rounds: seconds since the spawn (large, small), and each "
                "step's own time (large less small)\n");
    std::map<std::string, double> smallAt(smallBest.begin(), smallBest.end());
    double previousLarge = 0, previousSmall = 0;
    for (const auto& [step, at] : largeBest) {
        const double atSmall = smallAt.count(step) ? smallAt[step] : 0;
        std::printf("  %-18s %7.3f %7.3f   %+.3f s\n", step.c_str(), at, atSmall,
                    (at - previousLarge) - (atSmall - previousSmall));
        previousLarge = at;
        previousSmall = atSmall;
    }
    std::map<std::string, double> smallTotals(smallStart.totals.begin(), smallStart.totals.end());
    for (const auto& [what, spent] : largeStart.totals)
        std::printf("  within: %-18s %7.3f %7.3f   %+.3f s\n", what.c_str(), spent,
                    smallTotals[what], spent - smallTotals[what]);
    return 0;
}
