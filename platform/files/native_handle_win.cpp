#include "platform/files/native_handle.h"
#include "platform/text/windows_text_win.h"

#include <windows.h>

namespace tambrel::platform {

void NativeHandle::reset() {
    if (valid())
        ::CloseHandle(reinterpret_cast<HANDLE>(release()));
}

Status NativeHandle::close() {
    if (!valid())
        return {};
    if (!::CloseHandle(reinterpret_cast<HANDLE>(release())))
        return lastWindowsFailure();
    return {};
}

} // namespace tambrel::platform
