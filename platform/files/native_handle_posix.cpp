#include "platform/files/native_handle.h"
#include "platform/files/posix_entries.h"

#include <cerrno>
#include <unistd.h>

namespace tambrel::platform {

void NativeHandle::reset() {
    if (valid())
        ::close(static_cast<int>(release()));
}

Status NativeHandle::close() {
    if (!valid())
        return {};
    return closeOutcome(::close(static_cast<int>(release())) == 0 ? 0 : errno);
}

} // namespace tambrel::platform
