#include "server/wine_prefix.h"

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

namespace tambrel {

namespace {

std::string homeFolder() {
    if (const char* home = std::getenv("HOME"); home && *home)
        return home;
    if (const passwd* entry = getpwuid(getuid()); entry && entry->pw_dir)
        return entry->pw_dir;
    return {};
}

std::string& chosenPrefix() {
    static std::string prefix;
    return prefix;
}

} // namespace

void setWinePrefixPath(std::string prefix) {
    chosenPrefix() = std::move(prefix);
}

std::string winePrefixPath() {
    std::string prefix;
    if (!chosenPrefix().empty())
        prefix = chosenPrefix();
    else if (const char* configured = std::getenv("WINEPREFIX"); configured && *configured)
        prefix = configured;
    else
        prefix = homeFolder() + "/.wine";
    while (prefix.size() > 1 && prefix.back() == '/')
        prefix.pop_back();
    return prefix;
}

std::string machineRegistryPath() {
    const std::string prefix = winePrefixPath();
    return prefix == "/" ? "/system.reg" : prefix + "/system.reg";
}

} // namespace tambrel
