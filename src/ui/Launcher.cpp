#include "ui/Launcher.h"

namespace {

std::function<void(const QString &)> &recorder()
{
    static std::function<void(const QString &)> instance;
    return instance;
}

} // namespace

namespace Launcher {

void open(const QString &url)
{
    if (recorder())
        recorder()(url);
    else
        openWithDesktop(url);
}

void setRecorder(std::function<void(const QString &url)> newRecorder)
{
    recorder() = std::move(newRecorder);
}

} // namespace Launcher
