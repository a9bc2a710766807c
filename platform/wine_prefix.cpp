#include "platform/wine_prefix.h"

#include "platform/host_paths.h"

namespace tambrel {

std::string winePrefixPath() {
    return platform::defaultWinePrefix();
}

std::string machineRegistryPath() {
    const std::string prefix = winePrefixPath();
    return prefix == "/" ? "/system.reg" : prefix + "/system.reg";
}

} // namespace tambrel
