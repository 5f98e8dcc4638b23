#include "ui/Launcher.h"

#include <QDesktopServices>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace Launcher {

void openWithDesktop(const QString &url)
{
    // The address goes to xdg-open as its one argument, exactly as built: no shell
    // ever sees it.
    const QString xdgOpen = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (!xdgOpen.isEmpty() && QProcess::startDetached(xdgOpen, {url}))
        return;
    QDesktopServices::openUrl(QUrl(url));
}

} // namespace Launcher
