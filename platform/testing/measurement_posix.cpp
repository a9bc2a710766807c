#include "platform/testing/measurement.h"

#include <algorithm>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <malloc.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace tambrel::testing {

double peakResidentMebibytes() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0; // kilobytes on Linux
}

std::size_t heapBytesInUse() {
    return mallinfo2().uordblks;
}

double processorSeconds(ProcessorClock clock) {
    rusage usage{};
    ::getrusage(clock == ProcessorClock::CallingThread ? RUSAGE_THREAD : RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

std::string loadAverage() {
    std::ifstream file("/proc/loadavg");
    std::string one, five, fifteen;
    if (!(file >> one >> five >> fifteen))
        return "unknown";
    return one + " " + five + " " + fifteen;
}

void flushFileSystems() {
    ::sync();
}

bool dropPageCache() {
    ::sync();
    std::ofstream control("/proc/sys/vm/drop_caches");
    control << "3\n";
    control.flush();
    return static_cast<bool>(control);
}

std::uint64_t headerReadOf(const std::string& path, unsigned headerBytes) {
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (descriptor < 0)
        return 0;
    std::vector<char> header(headerBytes);
    const ssize_t read = ::pread(descriptor, header.data(), header.size(), 0);
    struct stat info {};
    ::fstat(descriptor, &info);
    ::close(descriptor);
    return static_cast<std::uint64_t>(std::max<ssize_t>(read, 0)) +
           static_cast<std::uint64_t>(info.st_size & 1);
}

std::uint64_t headerReadsBelow(const std::string& folder, unsigned headerBytes) {
    std::uint64_t sum = 0;
    DIR* directory = ::opendir(folder.c_str());
    if (!directory)
        return 0;
    std::vector<std::string> subFolders;
    while (const dirent* entry = ::readdir(directory)) {
        if (entry->d_name[0] == '.')
            continue;
        const std::string path = folder + "/" + entry->d_name;
        if (entry->d_type == DT_DIR)
            subFolders.push_back(path);
        else
            sum += headerReadOf(path, headerBytes);
    }
    ::closedir(directory);
    for (const std::string& subFolder : subFolders)
        sum += headerReadsBelow(subFolder, headerBytes);
    return sum;
}

bool writePlainFile(const std::string& path, std::string_view bytes, bool flushToDisk) {
    const int descriptor = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (descriptor < 0)
        return false;
    constexpr std::size_t kChunk = std::size_t{1} << 20;
    bool written = true;
    for (std::size_t at = 0; at < bytes.size() && written;) {
        const ssize_t count =
            ::write(descriptor, bytes.data() + at, std::min(kChunk, bytes.size() - at));
        written = count > 0;
        at += written ? static_cast<std::size_t>(count) : 0;
    }
    if (flushToDisk && written)
        written = ::fsync(descriptor) == 0;
    ::close(descriptor);
    return written;
}

} // namespace tambrel::testing
