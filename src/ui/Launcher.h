#pragma once

#include <QString>

#include <functional>

// Hands a file or web address to the desktop to open in the user's viewer. The
// result is not reported: if nothing can open it, nothing happens. Any window may use
// it, also after the main window has closed.
namespace Launcher {

void open(const QString &url);

// For tests: addresses go to the recorder instead of the desktop while it is set.
void setRecorder(std::function<void(const QString &url)> recorder);

// The platform's part, one file per platform.
void openWithDesktop(const QString &url);

} // namespace Launcher
