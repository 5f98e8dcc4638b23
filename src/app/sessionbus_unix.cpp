#include "app/SessionBus.h"

#include <QDBusConnection>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

constexpr char addressVariable[] = "DBUS_SESSION_BUS_ADDRESS";

// Whether the D-Bus library has a session bus to find, or a way to start one. It
// looks at the address in the environment, then at the bus socket of a systemd user
// session, and then runs dbus-launch to start a bus for the X display.
bool busWithinReach()
{
    if (!qEnvironmentVariableIsEmpty(addressVariable))
        return true;
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QFileInfo::exists(QDir(runtime).filePath(QStringLiteral("bus"))))
        return true;
    return QFileInfo::exists(QStringLiteral("/usr/bin/dbus-launch")) ||
           !QStandardPaths::findExecutable(QStringLiteral("dbus-launch")).isEmpty();
}

} // namespace

namespace SessionBus {

void connectEarly()
{
    // Qt keeps the connection, whether it succeeded or failed, for everyone who asks.
    if (busWithinReach()) {
        QDBusConnection::sessionBus();
        return;
    }
    // The library would fork only to find dbus-launch missing. An address of no known
    // kind fails at once, and Qt keeps that failed connection as it would the other.
    // No other program is started meanwhile, and the variable is gone before any is.
    qputenv(addressVariable, "disabled:");
    QDBusConnection::sessionBus();
    qunsetenv(addressVariable);
}

} // namespace SessionBus
