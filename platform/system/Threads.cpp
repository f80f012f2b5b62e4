#include "platform/system/Threads.h"

#include <cerrno>
#include <sys/resource.h>
#include <unistd.h>

namespace platform
{

namespace
{

// The niceness of a thread (lower runs first); each thread has its own on this system.
int Niceness()
{
    errno = 0;
    int nice = ::getpriority(PRIO_PROCESS, id_t(::gettid()));
    return errno == 0 ? nice : 0;
}

// The process's own niceness when the program started: what Normal means.
int NormalNiceness()
{
    static const int normal = Niceness();
    return normal;
}

[[maybe_unused]] const int gNormalAtStart = NormalNiceness();

} // namespace

bool SetCurrentThreadPriority(ThreadPriority priority)
{
    int nice = NormalNiceness() - (priority == ThreadPriority::AboveNormal ? 1 : 0);
    if (nice < -20) nice = -20;
    return ::setpriority(PRIO_PROCESS, id_t(::gettid()), nice) == 0;
}

int CurrentThreadPrioritySteps()
{
    return NormalNiceness() - Niceness();
}

} // namespace platform
