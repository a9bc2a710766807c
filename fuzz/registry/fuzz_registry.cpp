// Feeds arbitrary bytes to the registry file parser as the text of system.reg, and the values
// it finds to every kind's conversion. Inputs without Wine's header get it put in front, so
// that mutations reach the key and value parsing.
#include "platform/registry/registry_file.h"
#include "server/registry_value_kinds.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace {

using namespace tambrel;

constexpr std::string_view kHeader = "WINE REGISTRY Version 2\n";

std::vector<std::u16string> paths(std::initializer_list<std::string_view> keyPaths) {
    std::vector<std::u16string> folded;
    for (std::string_view keyPath : keyPaths)
        folded.push_back(*registryKeyPathForLookup(keyPath));
    return folded;
}

void lookUpEverything(std::string_view text) {
    static const std::vector<std::u16string> properties =
        paths({"Software\\Quillan\\Brannock Setup\\1.0\\Properties",
               "Software\\Wow6432Node\\Quillan\\Brannock Setup\\1.0\\Properties"});
    static const std::vector<std::u16string> version =
        paths({"Software\\Quillan", "Software\\Wow6432Node\\Quillan"});
    static const std::vector<std::u16string> shortKey = paths({"K"});
    static const std::u16string names[] = {
        registryValueNameForLookup("BrannockRootPath"),
        registryValueNameForLookup("Version Number"),
        registryValueNameForLookup(""),
        registryValueNameForLookup("v"),
    };
    for (const std::vector<std::u16string>* keyPaths : {&properties, &version, &shortKey}) {
        for (const std::u16string& name : names) {
            const RegistryLookup lookup = lookupRegistryValue(text, *keyPaths, name);
            if (!lookup.value)
                continue;
            for (const std::int16_t kind : {RegSz, RegBinary, RegDword})
                (void)registryValueOfKind(*lookup.value, kind, RegistryValue{});
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    if (input.starts_with(kHeader)) {
        lookUpEverything(input);
    } else {
        std::string text(kHeader);
        text += input;
        lookUpEverything(text);
    }
    // The same bytes as a key path and as a value name given by a caller.
    (void)registryKeyPathForLookup(input.substr(0, 512));
    (void)registryValueNameForLookup(input.substr(0, 512));
    return 0;
}
