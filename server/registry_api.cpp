#include "server/registry_api.h"

#include "platform/registry/registry.h"
#include "server/registry_value_kinds.h"

#include <type_traits>

namespace tambrel {

Result<RegistryValue> ReadRegistryValue(std::uint32_t rootKey, std::string_view keyPath,
                                        std::string_view valueName, std::int16_t kind,
                                        RegistryValue defaultValue) {
    RegistryValue result = std::move(defaultValue);
    // HKEY_LOCAL_MACHINE is the only root this program reads; any other cannot be opened, like
    // a key that is not there.
    if (rootKey != HKeyLocalMachine)
        return result;
    const RegistryLookup lookup = platform::readMachineRegistryValue(keyPath, valueName);
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
