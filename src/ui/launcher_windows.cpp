#include "ui/Launcher.h"

// clang-format off
// <shellapi.h> builds on the declarations of <windows.h>, so the order matters.
#include <windows.h>
#include <shellapi.h>
// clang-format on

namespace Launcher {

void openWithDesktop(const QString &url)
{
    ShellExecuteW(GetDesktopWindow(), L"open", reinterpret_cast<LPCWSTR>(url.utf16()), nullptr,
                  nullptr, SW_SHOWNORMAL);
}

} // namespace Launcher
