#include "platform/paths/wine_prefix.h"

#include "platform/paths/host_paths.h"

namespace tambrel {

namespace {

std::string& chosenPrefix() {
    static std::string prefix;
    return prefix;
}

} // namespace

void setWinePrefixPath(std::string prefix) {
    chosenPrefix() = std::move(prefix);
}

std::string winePrefixPath() {
    if (!chosenPrefix().empty()) {
        std::string prefix = chosenPrefix();
        while (prefix.size() > 1 && prefix.back() == '/')
            prefix.pop_back();
        return prefix;
    }
    return platform::defaultWinePrefix();
}

std::string machineRegistryPath() {
    const std::string prefix = winePrefixPath();
    return prefix == "/" ? "/system.reg" : prefix + "/system.reg";
}

} // namespace tambrel
