#include "platform/registry/registry.h"
#include "platform/registry/registry_file.h"
#include "platform/text/windows_text_win.h"

#include <string>
#include <windows.h>

namespace tambrel::platform {
namespace {

// Values larger than this are not read: no kind's buffer takes more than a few kilobytes, so
// a larger value gives the default just the same, without the memory.
constexpr DWORD kLargestValue = 1u << 20;

class KeyHandle {
public:
    KeyHandle() = default;
    ~KeyHandle() {
        if (key_)
            ::RegCloseKey(key_);
    }
    KeyHandle(const KeyHandle&) = delete;
    KeyHandle& operator=(const KeyHandle&) = delete;
    HKEY* out() { return &key_; }
    HKEY get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

} // namespace

RegistryLookup readMachineRegistryValue(std::string_view keyPath, std::string_view valueName) {
    // The same paths are refused as on POSIX: a leading backslash or an empty component.
    if (!registryKeyPathForLookup(keyPath))
        return {};
    const std::wstring key = wideFromUtf8(keyPath);
    const std::wstring name = wideFromUtf8(valueName);

    // The 64-bit view first, as a 64-bit program sees it, then the 32-bit one, where the
    // installer of a 32-bit server writes its keys.
    for (REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
        KeyHandle opened;
        if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ | view, opened.out()) !=
            ERROR_SUCCESS)
            continue;
        RegistryLookup lookup;
        lookup.key = RegistryKeyPresence::Present;
        DWORD type = 0;
        DWORD size = 0;
        LSTATUS status =
            ::RegQueryValueExW(opened.get(), name.c_str(), nullptr, &type, nullptr, &size);
        if (status != ERROR_SUCCESS && status != ERROR_MORE_DATA)
            return lookup; // the key, without the value
        if (size > kLargestValue)
            return lookup;
        // The value may grow between the two calls; a few tries, then it counts as missing.
        for (int attempt = 0; attempt < 4; ++attempt) {
            std::vector<std::uint8_t> data(size);
            DWORD filled = size;
            status = ::RegQueryValueExW(opened.get(), name.c_str(), nullptr, &type,
                                        data.empty() ? nullptr : data.data(), &filled);
            if (status == ERROR_SUCCESS) {
                data.resize(filled);
                lookup.value = StoredRegistryValue{type, std::move(data)};
                return lookup;
            }
            if (status != ERROR_MORE_DATA || filled > kLargestValue)
                return lookup;
            size = filled;
        }
        return lookup;
    }
    return {};
}

} // namespace tambrel::platform
