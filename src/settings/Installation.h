#pragma once

#include <QString>

// Where the installation the settings name keeps its files. The windows and the
// start-up read it from here, so that all of them agree on what "not registered" means.
namespace Installation {

// The data folder: "data" in the installation folder the settings record. Empty when
// no installation is registered (no folder recorded, or only a relative one), so that
// nothing is ever read from or written to a folder relative to the current directory.
QString dataFolder();

} // namespace Installation
