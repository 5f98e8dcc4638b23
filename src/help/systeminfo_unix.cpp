#include "help/SystemInfo.h"

// The desktops here have no common system-information tool to hand the user to.

namespace SystemInfo {

bool start()
{
    return false;
}

} // namespace SystemInfo
