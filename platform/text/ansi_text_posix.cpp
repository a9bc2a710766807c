#include "platform/text/ansi_text.h"

namespace tambrel::platform {

// File names and cells are the bytes the system gave, in the locale's encoding already.
bool ansiCodePageIsProgramText() {
    return true;
}

std::optional<std::string> toAnsiCodePage(std::string_view text) {
    return std::string(text);
}

} // namespace tambrel::platform
