#include "core/FileSync.h"

#include <QFile>

#include <unistd.h>

namespace FileSync {

bool flush(QFile &file)
{
    if (!file.flush())
        return false;
    return ::fsync(file.handle()) == 0;
}

} // namespace FileSync
