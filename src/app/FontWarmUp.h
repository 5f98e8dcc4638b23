#pragma once

#include <thread>

// Reading the system's font configuration is the largest single piece of the first
// start of the main window, and nothing else needs it until the first text is laid
// out. Started first thing, on a thread of its own, it is done while the application
// connects to the display and loads its plugins. Where there is nothing to read
// ahead, the thread does nothing.
namespace FontWarmUp {

// Joined when the returned thread goes, at the end of main().
std::jthread start();

} // namespace FontWarmUp
