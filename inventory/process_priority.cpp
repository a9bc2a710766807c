#include "inventory/process_priority.h"

#include "platform/process/process_priority.h"

namespace tambrel {

bool SetProcessPriority(std::int32_t priorityClass) {
    if (priorityClass != BelowNormalPriorityClass)
        return false; // the program asks for nothing else, and never for more
    return platform::lowerProcessPriority();
}

void applyProcessPriorityToThisThread() {
    platform::lowerThisThreadLikeProcess();
}

} // namespace tambrel
