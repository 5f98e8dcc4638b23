#pragma once

// The first window to show text makes Qt's accessibility bridge connect to the
// desktop's session bus. Where there is none, the D-Bus library forks a child to run
// dbus-launch, and after a fork the program pays again for every page of memory it
// writes. Connected first thing, while the program has touched little, the attempt
// costs a fraction, and the bridge then finds the connection made; where dbus-launch
// is not even installed, the attempt fails at once without a fork. On Windows, which
// has no session bus, this does nothing.
namespace SessionBus {

void connectEarly();

} // namespace SessionBus
