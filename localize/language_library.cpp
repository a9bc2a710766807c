#include "localize/language_library.h"

#include "localize/pe_string_table.h"

#include <cerrno>
#include <fcntl.h>
#include <map>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace tambrel {
namespace {

std::map<std::int32_t, PeStringTable> openLibraries;
std::int32_t lastHandle = 0;

// The whole file in one read, or nothing: a library is never read piecemeal, so that it
// cannot change under the program between two texts.
std::optional<std::vector<std::uint8_t>> readWholeFile(const std::string& path) {
    int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (descriptor < 0)
        return std::nullopt;
    std::optional<std::vector<std::uint8_t>> contents;
    struct stat status {};
    if (::fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode) &&
        static_cast<std::uint64_t>(status.st_size) <= PeStringTable::kLargestFile) {
        // One byte more than the size tells a file that grew since fstat.
        std::vector<std::uint8_t> bytes(static_cast<std::size_t>(status.st_size) + 1);
        std::size_t filled = 0;
        while (filled < bytes.size()) {
            ssize_t got = ::read(descriptor, bytes.data() + filled, bytes.size() - filled);
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0)
                break;
            filled += static_cast<std::size_t>(got);
        }
        if (filled <= PeStringTable::kLargestFile) {
            bytes.resize(filled);
            contents = std::move(bytes);
        }
    }
    ::close(descriptor);
    return contents;
}

std::int32_t nextFreeHandle() {
    do {
        lastHandle = lastHandle == INT32_MAX ? 1 : lastHandle + 1;
    } while (openLibraries.contains(lastHandle));
    return lastHandle;
}

} // namespace

std::int32_t openLanguageLibrary(const std::string& path) {
    std::optional<std::vector<std::uint8_t>> contents = readWholeFile(path);
    if (!contents)
        return 0;
    std::optional<PeStringTable> table = PeStringTable::parse(std::move(*contents));
    if (!table)
        return 0;
    std::int32_t handle = nextFreeHandle();
    openLibraries.emplace(handle, std::move(*table));
    return handle;
}

void closeLanguageLibrary(std::int32_t handle) {
    openLibraries.erase(handle);
}

std::optional<std::u16string> loadLibraryString(std::int32_t handle, std::int32_t id,
                                                std::int32_t languageID) {
    auto found = openLibraries.find(handle);
    if (found == openLibraries.end() || id < 0)
        return std::nullopt;
    return found->second.string(static_cast<std::uint32_t>(id), languageID);
}

std::size_t openLanguageLibraryCount() {
    return openLibraries.size();
}

} // namespace tambrel
