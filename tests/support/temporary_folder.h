// A fresh folder under the system's temporary directory, removed with everything in it when
// the test ends.
#pragma once

#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

namespace tambrel::testing {

class TemporaryFolder {
public:
    TemporaryFolder();
    ~TemporaryFolder();
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(std::string_view relative) const { return path_ / relative; }

    // Writes `bytes` to `relative`, creating the folders on the way.
    std::filesystem::path write(std::string_view relative, std::string_view bytes) const;

private:
    std::filesystem::path path_;
};

std::string readFile(const std::filesystem::path& path);

} // namespace tambrel::testing
