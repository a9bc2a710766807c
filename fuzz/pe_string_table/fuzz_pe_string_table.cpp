// Feeds arbitrary bytes to the PE string-table reader as a language library, then asks it for
// every string of the table in several languages.
#include "localize/pe_string_table.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::optional<tambrel::PeStringTable> table =
        tambrel::PeStringTable::parse(std::span<const std::uint8_t>(data, size));
    if (!table)
        return 0;
    std::size_t total = 0;
    for (std::int32_t language : {1031, 1041, 0, -1}) {
        for (std::uint32_t id = 0; id < 160; ++id) {
            if (std::optional<std::u16string> text = table->string(id, language))
                total += text->size();
        }
        for (std::uint32_t id : {0xFFFFu, 0x10000u, 0xFFFFFFFFu}) {
            if (std::optional<std::u16string> text = table->string(id, language))
                total += text->size();
        }
    }
    // A text can never be longer than the image it came from.
    if (total > size * 4 * 51)
        __builtin_trap();
    return 0;
}
