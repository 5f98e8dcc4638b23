#include "help/SystemInfo.h"
#include "help/win32_systeminfo.h"

// On Windows the tool is the one the machine's registry names.

namespace SystemInfo {

bool start()
{
    return Win32SystemInfo::startTool(HKEY_LOCAL_MACHINE);
}

} // namespace SystemInfo
