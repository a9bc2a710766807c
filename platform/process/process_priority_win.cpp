#include "platform/process/process_priority.h"

#include <windows.h>

namespace tambrel::platform {

bool lowerProcessPriority() {
    // Windows has no process-wide low I/O priority that keeps the CPU class: background mode
    // (PROCESS_MODE_BACKGROUND_BEGIN) would also drop it to idle. Every file the program reads
    // carries the low I/O hint instead (see ReadOnlyFile::open).
    return ::SetPriorityClass(::GetCurrentProcess(), BELOW_NORMAL_PRIORITY_CLASS) != 0;
}

void lowerThisThreadLikeProcess() {}

} // namespace tambrel::platform
