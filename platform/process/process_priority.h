// Lowering the whole process below normal, CPU and I/O alike, for the rest of its life, so that a
// scan never competes with the server it examines.
#pragma once

namespace tambrel::platform {

// POSIX: nice +10 over the first value seen (at most 19) for every thread, and I/O priority
// best-effort 7. Windows: BELOW_NORMAL_PRIORITY_CLASS, and the I/O priority of the calling
// thread lowered to "low" (background mode would drop the CPU priority further). Calling again
// lowers nothing further. True when the CPU priority was set.
bool lowerProcessPriority();

// For a thread started after the process was lowered: POSIX gives each thread its own nice and
// I/O priority, so the thread takes the process's lowered ones; on Windows a new thread already
// runs in the process's priority class. Nothing happens before the process was lowered.
void lowerThisThreadLikeProcess();

} // namespace tambrel::platform
