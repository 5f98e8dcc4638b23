#pragma once

#include <QString>

// Makes the entries of a folder durable, so that a file just renamed into it keeps
// its new name after a power cut. The writer of the program's text files calls it
// after each replace. Failing to sync is not reported: the file itself is written.
namespace DirectorySync {

void sync(const QString &folder);

} // namespace DirectorySync
