#include "workspace/Launcher.h"

#include <shellapi.h>
#include <windows.h>

namespace Launcher {

void openWithDesktop(const QString &url)
{
    ShellExecuteW(GetDesktopWindow(), L"open", reinterpret_cast<LPCWSTR>(url.utf16()), nullptr,
                  nullptr, SW_SHOWNORMAL);
}

} // namespace Launcher
