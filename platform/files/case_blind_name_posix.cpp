#include "common/ascii_case.h"
#include "platform/files/case_blind_name.h"

#include <unicode/uchar.h>
#include <unicode/utf8.h>

namespace tambrel {

std::string foldedName(std::string_view name) {
    std::string folded;
    folded.reserve(name.size());
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(name.data());
    const auto length = static_cast<std::int32_t>(name.size());
    std::int32_t index = 0;
    while (index < length) {
        const std::int32_t start = index;
        UChar32 codePoint;
        U8_NEXT(bytes, index, length, codePoint);
        if (codePoint < 0) {
            folded.append(name.substr(static_cast<std::size_t>(start),
                                      static_cast<std::size_t>(index - start)));
            continue;
        }
        const UChar32 lower = u_foldCase(codePoint, U_FOLD_CASE_DEFAULT);
        char encoded[U8_MAX_LENGTH];
        std::int32_t written = 0;
        UBool unencodable = false;
        U8_APPEND(encoded, written, U8_MAX_LENGTH, lower, unencodable);
        if (unencodable)
            folded.append(name.substr(static_cast<std::size_t>(start),
                                      static_cast<std::size_t>(index - start)));
        else
            folded.append(encoded, static_cast<std::size_t>(written));
    }
    return folded;
}

bool sameNameIgnoringCase(std::string_view a, std::string_view b) {
    bool ascii = true;
    for (char c : a)
        ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    for (char c : b)
        ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    if (!ascii)
        return foldedName(a) == foldedName(b);
    return equalIgnoringAsciiCase(a, b);
}

} // namespace tambrel
