#include "platform/text/display_width.h"

#include <unicode/uchar.h>

namespace tambrel::platform {

int columnsOf(char32_t codePoint) {
    const auto character = static_cast<UChar32>(codePoint);
    switch (u_charType(character)) {
    case U_NON_SPACING_MARK:
    case U_ENCLOSING_MARK:
    case U_FORMAT_CHAR:
        return 0;
    default:
        break;
    }
    switch (u_getIntPropertyValue(character, UCHAR_EAST_ASIAN_WIDTH)) {
    case U_EA_WIDE:
    case U_EA_FULLWIDTH:
        return 2;
    default:
        return 1;
    }
}

} // namespace tambrel::platform
