#include "platform/registry/registry_snapshot.h"

#include "platform/files/file_reads.h"

namespace tambrel {

std::optional<RegistrySnapshot> RegistrySnapshot::read(const std::string& path,
                                                       std::size_t sizeLimit) {
    Result<std::vector<std::uint8_t>> bytes = platform::readWholeFile(path, sizeLimit);
    if (!bytes)
        return std::nullopt;
    RegistrySnapshot snapshot;
    snapshot.bytes_ = std::move(bytes.value());
    return snapshot;
}

} // namespace tambrel
