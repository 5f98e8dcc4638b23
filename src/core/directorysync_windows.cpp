#include "core/DirectorySync.h"

namespace DirectorySync {

// Windows has no handle to flush a folder with; NTFS records the rename that puts
// a saved file in place in its metadata journal.
void sync(const QString &) {}

} // namespace DirectorySync
