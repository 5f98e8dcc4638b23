#pragma once

#include <functional>

// Lets the program save the user's list when it is told to end from outside (on
// Linux SIGTERM, SIGINT and SIGHUP). The handler runs later on the event loop, never
// inside the signal handler itself.
namespace ShutdownSignals {

// The handler runs once per install(); installing again arms it for the next signal.
void install(std::function<void()> handler);

} // namespace ShutdownSignals
