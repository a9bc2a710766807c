// Lowering the program's own priority (mdlPriority), so that a scan never competes with the
// server it examines.
#pragma once

#include <cstdint>

namespace tambrel {

inline constexpr std::int32_t BelowNormalPriorityClass = 0x4000;

// True when the class was set. On Linux below normal is nice +10 for every thread and I/O
// priority best-effort 7.
bool SetProcessPriority(std::int32_t priorityClass);

} // namespace tambrel
