#include "platform/testing/machine_registry_writes.h"

#include <string>
#include <windows.h>

namespace tambrel::testing {
namespace {

std::wstring wide(std::string_view ascii) {
    return std::wstring(ascii.begin(), ascii.end());
}

REGSAM viewFlag(RegistryView view) {
    return view == RegistryView::SixtyFourBit ? KEY_WOW64_64KEY : KEY_WOW64_32KEY;
}

} // namespace

bool writeMachineValue(std::string_view keyPath, std::string_view name,
                       const StoredRegistryValue& value, RegistryView view) {
    HKEY key = nullptr;
    if (::RegCreateKeyExW(HKEY_LOCAL_MACHINE, wide(keyPath).c_str(), 0, nullptr, 0,
                          KEY_WRITE | viewFlag(view), nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    const bool written = ::RegSetValueExW(key, wide(name).c_str(), 0, value.type,
                                          value.data.empty() ? nullptr : value.data.data(),
                                          static_cast<DWORD>(value.data.size())) == ERROR_SUCCESS;
    ::RegCloseKey(key);
    return written;
}

void removeServerKeys(RegistryView view) {
    HKEY software = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software", 0, KEY_ALL_ACCESS | viewFlag(view),
                        &software) == ERROR_SUCCESS) {
        ::RegDeleteTreeW(software, L"Quillan");
        ::RegCloseKey(software);
    }
}

bool setMachineKeyAccess(std::string_view keyPath, bool denyAll) {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, wide(keyPath).c_str(), 0, WRITE_DAC | KEY_WOW64_64KEY,
                        &key) != ERROR_SUCCESS)
        return false;
    SECURITY_DESCRIPTOR descriptor;
    ACL empty;
    ::InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION);
    ::InitializeAcl(&empty, sizeof empty, ACL_REVISION);
    ::SetSecurityDescriptorDacl(&descriptor, TRUE, denyAll ? &empty : nullptr, FALSE);
    const bool set =
        ::RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, &descriptor) == ERROR_SUCCESS;
    ::RegCloseKey(key);
    return set;
}

} // namespace tambrel::testing
