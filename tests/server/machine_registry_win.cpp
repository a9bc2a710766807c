#include "platform/registry/registry_file.h"
#include "platform/testing/machine_registry_writes.h"
#include "tests/server/machine_registry.h"
#include "tests/server/registry_file_text.h"

#include <string>
#include <vector>

namespace tambrel::testing {
namespace {

// The quoted or bracketed text of a registry file line, its doubled backslashes undone.
std::string unescaped(std::string_view text) {
    std::string plain;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size())
            ++i;
        plain.push_back(text[i]);
    }
    return plain;
}

void removeServerKeysInBothViews() {
    for (RegistryView view : {RegistryView::SixtyFourBit, RegistryView::ThirtyTwoBit})
        testing::removeServerKeys(view);
}

} // namespace

struct ScopedMachineRegistry::State {};

ScopedMachineRegistry::ScopedMachineRegistry() : state_(std::make_unique<State>()) {
    removeServerKeysInBothViews();
}

ScopedMachineRegistry::~ScopedMachineRegistry() {
    removeServerKeysInBothViews();
}

// Each value is taken apart by the project's own reader of Wine's file into the type and bytes
// the registry should hold, and written under its key.
void ScopedMachineRegistry::writeMachineRegistry(std::string_view lines) {
    removeServerKeysInBothViews();
    const std::string text = registryFileText(lines);
    std::string key;
    std::size_t start = 0;
    while (start < lines.size()) {
        std::size_t end = lines.find('\n', start);
        if (end == std::string_view::npos)
            end = lines.size();
        const std::string_view line = lines.substr(start, end - start);
        start = end + 1;
        if (line.starts_with('[')) {
            key = unescaped(line.substr(1, line.find(']') - 1));
            continue;
        }
        const std::size_t closing = line.find("\"=");
        if (key.empty() || !line.starts_with('"') || closing == std::string_view::npos)
            continue;
        const std::string name = unescaped(line.substr(1, closing - 1));
        const std::optional<std::u16string> lookupKey = registryKeyPathForLookup(key);
        const RegistryLookup lookup =
            lookupRegistryValue(text, std::span<const std::u16string>(&*lookupKey, 1),
                                registryValueNameForLookup(name));
        if (!lookup.value)
            continue;
        (void)writeMachineValue(key, name, *lookup.value);
    }
}

} // namespace tambrel::testing
