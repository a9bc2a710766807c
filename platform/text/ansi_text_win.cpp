#include "platform/text/ansi_text.h"

#include <windows.h>

namespace tambrel::platform {

bool ansiCodePageIsProgramText() {
    return ::GetACP() == CP_UTF8;
}

std::optional<std::string> toAnsiCodePage(std::string_view text) {
    if (text.empty())
        return std::string();
    if (ansiCodePageIsProgramText())
        return std::string(text);
    const int utf16Length = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(),
                                                  static_cast<int>(text.size()), nullptr, 0);
    if (utf16Length <= 0)
        return std::nullopt;
    std::wstring wide(static_cast<std::size_t>(utf16Length), L'\0');
    ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()),
                          wide.data(), utf16Length);
    BOOL usedDefault = FALSE;
    const int length = ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), utf16Length,
                                             nullptr, 0, nullptr, &usedDefault);
    if (length <= 0 || usedDefault)
        return std::nullopt;
    std::string ansi(static_cast<std::size_t>(length), '\0');
    ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), utf16Length, ansi.data(),
                          length, nullptr, &usedDefault);
    if (usedDefault)
        return std::nullopt;
    return ansi;
}

} // namespace tambrel::platform
