#include "platform/testing/file_tricks.h"

#include <cstdio>
#include <random>
#include <system_error>

namespace tambrel::testing {

std::optional<std::filesystem::path> makeFreshFolder(const std::string& namePrefix) {
    // A random name, taken only when the folder could be made afresh: no two runs share one.
    std::random_device entropy;
    std::error_code error;
    const std::filesystem::path base = std::filesystem::temp_directory_path(error);
    if (error)
        return std::nullopt;
    for (int attempt = 0; attempt < 100; ++attempt) {
        char suffix[16];
        std::snprintf(suffix, sizeof suffix, "%08x", entropy());
        const std::filesystem::path folder = base / (namePrefix + suffix);
        if (std::filesystem::create_directory(folder, error)) {
            std::filesystem::permissions(folder, std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::replace, error);
            return folder;
        }
    }
    return std::nullopt;
}

} // namespace tambrel::testing
