#pragma once

#include <QString>

// Where the installation the settings name keeps its files, and where the user's own
// data lives. The windows, the start-up and numbrill-register read it from here, so
// that all of them agree on what "not registered" means.
namespace Installation {

// The installation's data folder, with the word dictionary: "data" in the installation
// folder the settings record. A system-wide installation may not let the user write
// here. Empty when no installation is registered (no folder recorded, or only a
// relative one), so that nothing is ever read from a folder relative to the current
// directory.
QString dictionaryFolder();

// The user's data folder, where rv.db and every file beside it lives: the folder the
// `datadir` setting records, else the installation's data folder. Empty when neither
// is known.
QString dataFolder();

// What is wrong with the user's data folder, for the user to read; empty when it can
// be written. A recorded folder that is missing is made again first, as a user may
// well have cleared their data folder.
QString dataFolderProblem();

// The data folder of the user's own, for an installation they cannot write to:
// "numbrill" in the user's data location ($XDG_DATA_HOME, %LOCALAPPDATA%).
QString perUserDataFolder();

// The installation this program belongs to, found from the folder it runs from.
QString ownFolder();

// Whether this build is installed for every user of the computer (a package), so
// that each user keeps their data in a folder of their own.
bool systemWide();

// Records `installDir` in the settings and gives the user an empty list of remembered
// numbers if they have none yet; an existing list is never touched. The data goes
// into the per-user folder when `perUser` is set or the installation's data folder
// cannot be written, else beside the dictionary as it always did. Returns what went
// wrong, or an empty text.
QString registerAt(const QString &installDir, bool perUser);

} // namespace Installation
