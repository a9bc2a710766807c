#include "server/server_root.h"

#include "server/registry_api.h"

namespace tambrel {

Result<std::string> ReadServerRootPath() {
    Result<RegistryValue> value =
        ReadRegistryValue(HKeyLocalMachine, kServerPropertiesKey, kServerRootPathValue, RegSz);
    if (!value)
        return value.failure();
    return registryValueAsText(value.value());
}

std::string serverRootPathValueName() {
    return "HKEY_LOCAL_MACHINE\\" + std::string(kServerPropertiesKey) + "\\" +
           std::string(kServerRootPathValue);
}

} // namespace tambrel
