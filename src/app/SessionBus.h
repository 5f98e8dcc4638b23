#pragma once

// The first window to show text makes Qt's accessibility bridge connect to the
// desktop's session bus. Where there is none, the D-Bus library forks a child to look
// for a way to start one, and after a fork the program pays again for every page of
// memory it writes. Connected first thing, while the program has touched little, the
// same attempt costs a fraction; the bridge then finds the connection made. Where
// there is no session bus to speak of, this does nothing.
namespace SessionBus {

void connectEarly();

} // namespace SessionBus
