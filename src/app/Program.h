#pragma once

// Runs the program: takes the installation's lock, opens the main window, and saves
// the user's list however the program is told to end.
#include <memory>

class QLockFile;

namespace Program {

int run();

// The lock on the installation's data folder, held while the program runs; none when
// another copy holds it. A data folder that does not exist is not locked.
std::unique_ptr<QLockFile> lockInstallation();

// Saves the user's list however the program is told to end: a signal, the end of
// the desktop session, or the end of the event loop.
void installShutdownHandlers();

// Whether a signal told the program to end; one that comes during start-up ends the
// program before its main window is shown.
bool shutdownRequested();

} // namespace Program
