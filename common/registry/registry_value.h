// A registry value as a lookup finds it, whichever registry it comes from: the system's own or
// the Wine registry file that stands in for it on POSIX.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace tambrel {

// A value as the registry holds it: its type and its bytes (strings in UTF-16 little-endian,
// with their terminating NUL when they were stored with one).
struct StoredRegistryValue {
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;

    bool operator==(const StoredRegistryValue&) const = default;
};

enum class RegistryKeyPresence { Absent, Present };

struct RegistryLookup {
    RegistryKeyPresence key = RegistryKeyPresence::Absent;
    std::optional<StoredRegistryValue> value;
};

} // namespace tambrel
