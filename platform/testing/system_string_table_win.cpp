#include "platform/testing/system_string_table.h"

#include <windows.h>

namespace tambrel::testing {

std::optional<SystemStringTable> SystemStringTable::load(const std::string& path,
                                                         unsigned long& error) {
    const std::wstring wide(path.begin(), path.end());
    const HMODULE module = ::LoadLibraryExW(
        wide.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (!module) {
        error = ::GetLastError();
        return std::nullopt;
    }
    SystemStringTable table;
    table.module_ = std::shared_ptr<void>(
        module, [](void* held) { ::FreeLibrary(static_cast<HMODULE>(held)); });
    return table;
}

std::u16string SystemStringTable::text(std::uint32_t id) const {
    const wchar_t* text = nullptr;
    // A buffer length of 0 hands out the resource's own text, of any length.
    const int length =
        ::LoadStringW(static_cast<HMODULE>(module_.get()), id, reinterpret_cast<LPWSTR>(&text), 0);
    if (length <= 0)
        return {};
    return std::u16string(reinterpret_cast<const char16_t*>(text),
                          static_cast<std::size_t>(length));
}

std::int32_t SystemStringTable::threadLanguage() {
    return static_cast<std::int32_t>(::GetThreadUILanguage());
}

} // namespace tambrel::testing
