#pragma once

#include <cstdint>

// Threads' scheduling priorities as the system sees them.
namespace platform
{

enum class ThreadPriority
{
    Normal,      // the priority the process started with
    AboveNormal, // one step more than that
};
// Sets the calling thread's priority. Lowering always works; raising needs a privilege that an
// ordinary user may lack, and then the thread keeps its priority and the result is false.
bool SetCurrentThreadPriority(ThreadPriority priority);
// The calling thread's priority, as the steps above the normal one that it has (0 or 1).
int CurrentThreadPrioritySteps();

} // namespace platform
