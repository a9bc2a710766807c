#include "tests/support/temporary_folder.h"

#include <cstdio>
#include <random>
#include <stdexcept>
#include <system_error>

namespace tambrel::testing {

TemporaryFolder::TemporaryFolder() {
    // A random name, taken only when the folder could be created afresh: no two tests share one.
    std::random_device entropy;
    const std::filesystem::path base = std::filesystem::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        char name[32];
        std::snprintf(name, sizeof name, "tambrel-test-%08x%04x", entropy(), entropy() & 0xFFFFu);
        std::error_code error;
        if (std::filesystem::create_directory(base / name, error)) {
            path_ = base / name;
            // Private to the test's user, as mkdtemp makes it.
            std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::replace, error);
            return;
        }
    }
    throw std::runtime_error("no temporary folder could be created");
}

TemporaryFolder::~TemporaryFolder() {
    std::error_code ignored;
    // Tests may leave read-only folders behind; make them writable so they can go.
    for (auto it = std::filesystem::recursive_directory_iterator(
             path_, std::filesystem::directory_options::skip_permission_denied, ignored);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ignored)) {
        if (it->is_directory(ignored) && !it->is_symlink(ignored))
            std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::add, ignored);
    }
    std::filesystem::remove_all(path_, ignored);
}

std::filesystem::path TemporaryFolder::write(std::string_view relative,
                                             std::string_view bytes) const {
    std::filesystem::path target = path_ / relative;
    std::filesystem::create_directories(target.parent_path());
    std::ofstream out(target, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return target;
}

std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace tambrel::testing
