#include "app/SessionBus.h"

#include <QDBusConnection>

namespace SessionBus {

void connectEarly()
{
    // Qt keeps the connection, whether it succeeded or failed, for everyone who asks.
    QDBusConnection::sessionBus();
}

} // namespace SessionBus
