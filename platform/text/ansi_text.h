// The system's 8-bit text encoding for files meant for other programs (the CSV export): on
// Windows the ANSI code page, on POSIX the locale's encoding, which is the program's own.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tambrel::platform {

// True when the program's text (UTF-8 on Windows, the bytes as they are on POSIX) is already in
// the system's encoding, so that it is written unchanged.
bool ansiCodePageIsProgramText();

// `text` in the ANSI code page, or nothing when a character has no exact form there: a best-fit
// or default character would write a different name than the one shown.
std::optional<std::string> toAnsiCodePage(std::string_view text);

} // namespace tambrel::platform
