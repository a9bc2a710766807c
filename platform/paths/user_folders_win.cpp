#include "platform/paths/user_folders.h"
#include "platform/text/windows_text_win.h"

#include <filesystem>
#include <shlobj.h>
#include <windows.h>

namespace tambrel::platform {
namespace {

std::string knownFolder(REFKNOWNFOLDERID id) {
    PWSTR path = nullptr;
    std::string folder;
    if (SUCCEEDED(::SHGetKnownFolderPath(id, 0, nullptr, &path)) && path)
        folder = utf8FromWide(path);
    ::CoTaskMemFree(path);
    return folder;
}

} // namespace

std::string homeFolder() {
    std::string folder = knownFolder(FOLDERID_Profile);
    return folder.empty() ? std::string("C:\\") : folder;
}

std::string documentsFolder() {
    std::string folder = knownFolder(FOLDERID_Documents);
    return folder.empty() ? homeFolder() : folder;
}

ProgramLocation runningProgramLocation() {
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0)
            return ProgramLocation{".", "tambrel"};
        if (length < buffer.size()) {
            buffer.resize(length);
            break;
        }
        buffer.resize(buffer.size() * 2);
    }
    const std::filesystem::path executable(buffer);
    return ProgramLocation{utf8FromWide(executable.parent_path().native()),
                           utf8FromWide(executable.stem().native())};
}

} // namespace tambrel::platform
