#include "server/corvel_version.h"

#include "server/leading_number.h"
#include "server/registry_api.h"

#include <cstdio>

namespace tambrel {

namespace {

// Eight upper-case hex digits; a negative number shows its two's complement.
std::string eightHexDigits(std::int32_t number) {
    char digits[9];
    std::snprintf(digits, sizeof digits, "%08X", static_cast<std::uint32_t>(number));
    return digits;
}

Result<std::int32_t> readVersionNumber(const char* valueName) {
    Result<RegistryValue> value =
        ReadRegistryValue(HKeyLocalMachine, "Software\\Quillan\\", valueName, RegDword);
    if (!value)
        return value.failure();
    return registryValueAsNumber(*value);
}

} // namespace

Result<CorvelVersionInfo> decodeCorvelVersion(std::int32_t versionNumber,
                                              std::int32_t buildNumber) {
    const std::string version = eightHexDigits(versionNumber);
    const std::string build = eightHexDigits(buildNumber);
    CorvelVersionInfo info;

    const Result<std::int16_t> major = readLeadingNumber(std::string_view(version).substr(0, 4));
    if (!major)
        return major.failure();
    const Result<std::int16_t> minor = readLeadingNumber(std::string_view(version).substr(4, 4));
    if (!minor)
        return minor.failure();
    const Result<std::int16_t> buildMajor = readLeadingNumber(std::string_view(build).substr(0, 4));
    if (!buildMajor)
        return buildMajor.failure();
    info.Major = *major;
    info.Minor = *minor;
    info.BuildMajor = *buildMajor;
    info.BuildMinor = static_cast<std::int16_t>(static_cast<std::uint16_t>(buildNumber & 0xFFFF));
    info.VersionText = std::to_string(info.Major) + "." + std::to_string(info.Minor) + "(" +
                       std::to_string(info.BuildMajor) + "." + std::to_string(info.BuildMinor) +
                       ")";
    return info;
}

Result<CorvelVersionInfo> ReadCorvelVersion() {
    const Result<std::int32_t> version = readVersionNumber("Version Number");
    if (!version)
        return version.failure();
    const Result<std::int32_t> build = readVersionNumber("Build Number");
    if (!build)
        return build.failure();
    return decodeCorvelVersion(*version, *build);
}

} // namespace tambrel
