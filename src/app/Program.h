#pragma once

// Runs the program: takes the installation's lock, opens the main window, and saves
// the user's list however the program is told to end.
#include <memory>
#include <optional>

class QLockFile;
class QString;

namespace Program {

int run();

// Answers --help and --version and refuses unknown options, before there is any
// window; returns the exit status when the program should end here. Qt's own options
// (-platform, -style and the like) pass through to the application.
std::optional<int> answerCommandLine(int argc, char *argv[]);

// Registers the installation this program belongs to when the settings name none,
// the user's data going into a folder of their own when the installation is shared
// or cannot be written. Returns what went wrong, or an empty text.
QString registerItself();

// The lock on the installation's data folder, held while the program runs; none when
// another copy holds it. A data folder that does not exist is not locked.
std::unique_ptr<QLockFile> lockInstallation();

// Saves the user's list however the program is told to end: a signal, the end of
// the desktop session, or the end of the event loop.
void installShutdownHandlers();

} // namespace Program
