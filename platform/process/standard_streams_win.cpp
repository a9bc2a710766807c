#include "platform/process/standard_streams.h"
#include "platform/text/windows_text_win.h"

#include <cerrno>
// shellapi.h needs windows.h before it.
// clang-format off
#include <windows.h>
#include <shellapi.h>
// clang-format on

namespace tambrel::platform {
namespace {

// A console shows UTF-16; the program's UTF-8 would come out in the console's code page as
// mojibake, so a console gets its text through WriteConsoleW.
Status writeToConsole(HANDLE console, std::string_view bytes) {
    std::wstring wide = wideFromUtf8(bytes);
    std::wstring_view rest = wide;
    while (!rest.empty()) {
        DWORD written = 0;
        const DWORD chunk = static_cast<DWORD>(rest.size() < 16384 ? rest.size() : 16384);
        if (!::WriteConsoleW(console, rest.data(), chunk, &written, nullptr))
            return lastWindowsFailure();
        if (written == 0)
            return Failure::fromErrno(EIO);
        rest.remove_prefix(written);
    }
    return {};
}

// A pipe or a file gets the bytes as they are: no CR added before LF, no code page applied, so
// CSV and JSON on standard output equal the files written by the export.
Status writeToFileOrPipe(HANDLE handle, std::string_view bytes) {
    while (!bytes.empty()) {
        DWORD written = 0;
        const DWORD chunk = static_cast<DWORD>(bytes.size() < (1u << 30) ? bytes.size() : 1u << 30);
        if (!::WriteFile(handle, bytes.data(), chunk, &written, nullptr)) {
            const DWORD error = ::GetLastError();
            // The reader has gone: the same failure as a closed pipe on POSIX.
            if (error == ERROR_NO_DATA || error == ERROR_BROKEN_PIPE)
                return Failure::fromErrno(EPIPE);
            return failureFromWindowsError(error);
        }
        if (written == 0)
            return Failure::fromErrno(EIO);
        bytes.remove_prefix(written);
    }
    return {};
}

Status writeAll(DWORD which, std::string_view bytes) {
    const HANDLE handle = ::GetStdHandle(which);
    if (handle == INVALID_HANDLE_VALUE || handle == nullptr)
        return Failure::fromErrno(EBADF);
    DWORD mode = 0;
    if (::GetConsoleMode(handle, &mode))
        return writeToConsole(handle, bytes);
    return writeToFileOrPipe(handle, bytes);
}

} // namespace

std::vector<std::string> programArguments(int argc, char** argv) {
    int count = 0;
    wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (!wide)
        return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + (argc > 0 ? argc : 0));
    std::vector<std::string> arguments;
    for (int i = 1; i < count; ++i)
        arguments.push_back(utf8FromWide(wide[i]));
    ::LocalFree(wide);
    return arguments;
}

// Windows has no SIGPIPE: a write to a pipe without reader fails by itself.
void ignoreBrokenPipeSignal() {}

Status writeStandardOutput(std::string_view bytes) {
    return writeAll(STD_OUTPUT_HANDLE, bytes);
}

void writeStandardError(std::string_view bytes) {
    (void)writeAll(STD_ERROR_HANDLE, bytes);
}

} // namespace tambrel::platform
