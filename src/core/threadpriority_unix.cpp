#include "core/ThreadPriority.h"

#ifdef __linux__
#include <cerrno>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

namespace ThreadPriority {

void lowerCurrent()
{
#ifdef __linux__
    // On Linux a thread has a nice value of its own; elsewhere this call would lower
    // the whole process, window included, so there it does nothing.
    constexpr int behind = 10;
    const auto thread = id_t(::syscall(SYS_gettid));
    errno = 0;
    const int nice = ::getpriority(PRIO_PROCESS, thread);
    if (errno == 0 && nice < behind)
        ::setpriority(PRIO_PROCESS, thread, behind);
#endif
}

} // namespace ThreadPriority
