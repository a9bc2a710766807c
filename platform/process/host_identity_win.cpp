#include "platform/process/host_identity.h"
#include "platform/text/windows_text_win.h"

#include <windows.h>

namespace tambrel::platform {

std::string hostName() {
    wchar_t name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD length = MAX_COMPUTERNAME_LENGTH + 1;
    if (!GetComputerNameW(name, &length))
        return {};
    return utf8FromWide(std::wstring_view(name, length));
}

bool standardErrorIsTerminal() {
    DWORD mode = 0;
    // Only a console has a console mode; a file or a pipe fails the call.
    return GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
}

} // namespace tambrel::platform
