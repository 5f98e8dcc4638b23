#include "ui/WindowSize.h"

#include "core/AppInfo.h"
#include "core/PlainNumber.h"
#include "settings/Registry.h"

#include <QScreen>
#include <QSize>
#include <QWidget>

namespace {

// "640x480" gives 640 by 480; anything else an invalid size. Read by hand: this runs
// as the main window is built, and a regular expression takes long to build the
// first time.
QSize parse(const QString &text)
{
    const qsizetype x = text.indexOf(u'x');
    if (x < 0)
        return {};
    const QSize size(PlainNumber::read(QStringView(text).first(x), 5),
                     PlainNumber::read(QStringView(text).sliced(x + 1), 5));
    return size.isEmpty() ? QSize() : size;
}

QString format(const QSize &size)
{
    return QStringLiteral("%1x%2").arg(size.width()).arg(size.height());
}

} // namespace

namespace WindowSize {

QSize stored(const QWidget *window, const char *name)
{
    QSize size =
        parse(Registry::GetRegValue(QLatin1String(AppInfo::settingsPath), QLatin1String(name)));
    if (!size.isValid())
        return size;
    // A size from a larger screen, or one edited by hand, must not hide the window's
    // edges or squeeze its controls together.
    if (const QScreen *screen = window->screen())
        size = size.boundedTo(screen->availableSize());
    return size.expandedTo(window->minimumSize());
}

void restore(QWidget *window, const char *name)
{
    const QSize size = stored(window, name);
    if (size.isValid())
        window->resize(size);
}

void remember(const QWidget *window, const char *name)
{
    remember(window->isMaximized() || window->isFullScreen() ? window->normalGeometry().size()
                                                             : window->size(),
             name);
}

void remember(const QSize &size, const char *name)
{
    if (size.isEmpty())
        return;
    const QString key = QLatin1String(AppInfo::settingsPath);
    const QString text = format(size);
    if (Registry::GetRegValue(key, QLatin1String(name)) != text)
        Registry::SetRegValue(key, QLatin1String(name), text);
}

} // namespace WindowSize
