#include "core/ThreadPriority.h"

#include <windows.h>

namespace ThreadPriority {

void lowerCurrent()
{
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL);
}

} // namespace ThreadPriority
