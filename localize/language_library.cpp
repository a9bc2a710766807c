#include "localize/language_library.h"

#include "localize/pe_string_table.h"
#include "platform/files/file_reads.h"

#include <map>
#include <vector>

namespace tambrel {
namespace {

std::map<std::int32_t, PeStringTable> openLibraries;
std::int32_t lastHandle = 0;

std::int32_t nextFreeHandle() {
    do {
        lastHandle = lastHandle == INT32_MAX ? 1 : lastHandle + 1;
    } while (openLibraries.contains(lastHandle));
    return lastHandle;
}

} // namespace

std::int32_t openLanguageLibrary(const std::string& path) {
    // The whole file in one read, or nothing: a library is never read piecemeal, so that it
    // cannot change under the program between two texts.
    Result<std::vector<std::uint8_t>> contents =
        platform::readWholeFile(path, PeStringTable::kLargestFile);
    if (!contents)
        return 0;
    std::optional<PeStringTable> table = PeStringTable::parse(std::move(contents.value()));
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
