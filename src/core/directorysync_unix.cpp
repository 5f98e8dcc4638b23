#include "core/DirectorySync.h"

#include <QFile>

#include <fcntl.h>
#include <unistd.h>

namespace DirectorySync {

void sync(const QString &folder)
{
    const int fd =
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

} // namespace DirectorySync
