// Lowering the program's own priority (mdlPriority), so that a scan never competes with the
// server it examines.
#pragma once

#include <cstdint>

namespace tambrel {

inline constexpr std::int32_t BelowNormalPriorityClass = 0x4000;

// True when the class was set. On Linux below normal is nice +10 for every thread and I/O
// priority best-effort 7.
bool SetProcessPriority(std::int32_t priorityClass);

// Gives the calling thread the priority SetProcessPriority gave the program, if it did; threads
// started after it call this, since on Linux each thread has a priority of its own.
void applyProcessPriorityToThisThread();

} // namespace tambrel
