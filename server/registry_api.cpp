#include "server/registry_api.h"

#include "server/registry_file.h"
#include "server/registry_snapshot.h"
#include "server/registry_value_kinds.h"
#include "server/wine_prefix.h"

#include <type_traits>

namespace tambrel {

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

Result<RegistryValue> ReadRegistryValue(std::uint32_t rootKey, std::string_view keyPath,
                                        std::string_view valueName, std::int16_t kind,
                                        RegistryValue defaultValue) {
    RegistryValue result = std::move(defaultValue);
    // HKEY_LOCAL_MACHINE is the only root this program has a file for; any other cannot be
    // opened, like a key that is not there.
    if (rootKey != HKEY_LOCAL_MACHINE)
        return result;
    const std::optional<std::u16string> foldedKeyPath = registryKeyPathForLookup(keyPath);
    if (!foldedKeyPath)
        return result;
    std::vector<std::u16string> keyPaths{*foldedKeyPath};
    if (std::optional<std::u16string> view = thirtyTwoBitView(*foldedKeyPath))
        keyPaths.push_back(std::move(*view));

    const std::optional<RegistrySnapshot> snapshot = RegistrySnapshot::read(machineRegistryPath());
    if (!snapshot)
        return result;
    const RegistryLookup lookup =
        lookupRegistryValue(snapshot->text(), keyPaths, registryValueNameForLookup(valueName));
    if (lookup.key == RegistryKeyPresence::Absent)
        return result;
    // Only an opened key gets as far as the kind.
    if (!isSupportedValueKind(kind))
        return Failure{kUnsupportedValueTypeError, "Unsupported value type"};
    if (!lookup.value)
        return result;
    return registryValueOfKind(*lookup.value, kind, result);
}

std::string registryValueAsText(const RegistryValue& value) {
    return std::visit(
        [](const auto& held) -> std::string {
            using Held = std::decay_t<decltype(held)>;
            if constexpr (std::is_same_v<Held, std::string>)
                return held;
            else if constexpr (std::is_same_v<Held, std::vector<std::uint8_t>>)
                return std::string(held.begin(), held.end());
            else if constexpr (std::is_same_v<Held, std::int32_t>)
                return std::to_string(held);
            else
                return std::string();
        },
        value);
}

std::int32_t registryValueAsNumber(const RegistryValue& value) {
    if (const std::int32_t* number = std::get_if<std::int32_t>(&value))
        return *number;
    return 0;
}

} // namespace tambrel
