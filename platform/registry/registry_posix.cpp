#include "platform/paths/wine_prefix.h"
#include "platform/registry/registry.h"
#include "platform/registry/registry_file.h"
#include "platform/registry/registry_snapshot.h"

#include <string>

namespace tambrel::platform {
namespace {

// The path under which a 32-bit program on 64-bit Windows finds a key of Software\, and where
// the installer of a 32-bit server writes its keys; nothing for paths outside Software\.
std::optional<std::u16string> thirtyTwoBitView(const std::u16string& foldedKeyPath) {
    static const std::u16string software = u"SOFTWARE\\";
    static const std::u16string redirected = u"SOFTWARE\\WOW6432NODE";
    if (!foldedKeyPath.starts_with(software))
        return std::nullopt;
    const std::u16string rest = foldedKeyPath.substr(software.size());
    if (rest == u"WOW6432NODE" || rest.starts_with(u"WOW6432NODE\\"))
        return std::nullopt;
    return redirected + u"\\" + rest;
}

} // namespace

RegistryLookup readMachineRegistryValue(std::string_view keyPath, std::string_view valueName) {
    const std::optional<std::u16string> foldedKeyPath = registryKeyPathForLookup(keyPath);
    if (!foldedKeyPath)
        return {};
    std::vector<std::u16string> keyPaths{*foldedKeyPath};
    if (std::optional<std::u16string> view = thirtyTwoBitView(*foldedKeyPath))
        keyPaths.push_back(std::move(*view));

    const std::optional<RegistrySnapshot> snapshot = RegistrySnapshot::read(machineRegistryPath());
    if (!snapshot)
        return {};
    return lookupRegistryValue(snapshot->text(), keyPaths, registryValueNameForLookup(valueName));
}

} // namespace tambrel::platform
