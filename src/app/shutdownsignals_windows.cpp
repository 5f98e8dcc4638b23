#include "app/ShutdownSignals.h"

namespace ShutdownSignals {

// A Windows desktop program is told of a log-off through the session manager,
// which the application already handles; there are no signals to catch.
void install(std::function<void()>) {}

} // namespace ShutdownSignals
