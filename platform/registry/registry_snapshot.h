// The registry file's bytes as they were at one moment: read whole with one open, one status
// call, one read and one close, so that a file Wine is rewriting never yields a torn value.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tambrel {

// Larger files are not taken for a registry: the reader's memory stays bounded.
inline constexpr std::size_t kRegistryFileSizeLimit = std::size_t{1} << 30;

class RegistrySnapshot {
public:
    // Nothing when the path is not a readable regular file of at most `sizeLimit` bytes.
    static std::optional<RegistrySnapshot> read(const std::string& path,
                                                std::size_t sizeLimit = kRegistryFileSizeLimit);

    std::string_view text() const {
        return {reinterpret_cast<const char*>(bytes_.data()), bytes_.size()};
    }

private:
    std::vector<std::uint8_t> bytes_;
};

} // namespace tambrel
