#include "core/FileSync.h"

#include <QFile>

#include <io.h>
#include <windows.h>

namespace FileSync {

bool flush(QFile &file)
{
    if (!file.flush())
        return false;
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(file.handle()));
    return handle != INVALID_HANDLE_VALUE && FlushFileBuffers(handle) != 0;
}

} // namespace FileSync
