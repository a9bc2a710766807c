// The floor of a scan, which the load and start benchmarks measure themselves against: the
// folders listed and, for each file, the system calls one file row needs, by full path, one
// after another on one thread, and nothing else.
#pragma once

#include <algorithm>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace tambrel::bench {

inline std::size_t bareSystemCalls(const std::string& folder) {
    std::size_t bytes = 0;
    DIR* directory = ::opendir(folder.c_str());
    if (!directory)
        return 0;
    std::vector<std::string> subFolders;
    while (const dirent* entry = ::readdir(directory)) {
        if (entry->d_name[0] == '.')
            continue;
        const std::string path = folder + "/" + entry->d_name;
        if (entry->d_type == DT_DIR) {
            subFolders.push_back(path);
            continue;
        }
        char header[38];
        const int descriptor = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
        if (descriptor < 0)
            continue;
        const ssize_t read = ::pread(descriptor, header, sizeof header, 0);
        struct stat info;
        ::fstat(descriptor, &info);
        ::close(descriptor);
        bytes += static_cast<std::size_t>(std::max<ssize_t>(read, 0)) + (info.st_size & 1);
    }
    ::closedir(directory);
    for (const std::string& subFolder : subFolders)
        bytes += bareSystemCalls(subFolder);
    return bytes;
}

} // namespace tambrel::bench
