// The server's product version (CorvelVersion), read from the registry at every load.
#pragma once

#include "common/result.h"

#include <cstdint>
#include <string>

namespace tambrel {

struct CorvelVersionInfo {
    std::int16_t Major = 0;
    std::int16_t Minor = 0;
    std::int16_t BuildMajor = 0;
    std::int16_t BuildMinor = 0;
    std::string VersionText = "0.0(0.0)";
};

// Fails only with an overflow, for a group such as 9E99.
Result<CorvelVersionInfo> ReadCorvelVersion();

// The decoding alone, from the two stored numbers.
Result<CorvelVersionInfo> decodeCorvelVersion(std::int32_t versionNumber, std::int32_t buildNumber);

} // namespace tambrel
