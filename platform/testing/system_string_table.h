// Windows' own reading of a language library's string table (LoadLibraryExW as a data file,
// LoadStringW), which the tests hold the project's own reader against. Windows only.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace tambrel::testing {

class SystemStringTable {
public:
    // The library at `path` (ASCII) loaded as data; empty when Windows refuses it, with its
    // error number in `error`.
    static std::optional<SystemStringTable> load(const std::string& path, unsigned long& error);

    // String `id` as LoadStringW gives it, of any length; empty when the library has none.
    std::u16string text(std::uint32_t id) const;

    // The language LoadStringW takes: the calling thread's.
    static std::int32_t threadLanguage();

private:
    std::shared_ptr<void> module_;
};

} // namespace tambrel::testing
