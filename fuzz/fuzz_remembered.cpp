// The list of remembered numbers "rv.db" on any bytes. Whatever a load accepts, a
// save must write, and loading that again must give the same entries: otherwise the
// numbers stored after such a load could not be saved, or the list would change on
// its way through the disk.
#include "FuzzSupport.h"
#include "core/QuotedLineFile.h"
#include "remembered/RememberedFile.h"

#include <QFile>

namespace {

QString shown(const RememberedEntry &entry)
{
    return FuzzSupport::visible(entry.Value) + u' ' + FuzzSupport::visible(entry.Description) +
           u' ' + FuzzSupport::visible(entry.Words);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString dataDir = FuzzSupport::scratchDir();
    QFile::remove(RememberedFile::workingCopyPath(dataDir));
    FuzzSupport::writeFile(RememberedFile::filePath(dataDir), FuzzSupport::bytesOf(data, size));

    const RememberedFile::LoadResult first = RememberedFile::load(dataDir);
    if (first.status != RememberedFile::LoadStatus::Loaded)
        FuzzSupport::fail("rv.db round trip: a readable rv.db did not load", first.error);

    QString error;
    if (!RememberedFile::save(dataDir, first.entries, &error)) {
        for (qsizetype i = 0; i < first.entries.size(); ++i) {
            if (!QuotedLineFile::canWrite(RememberedFile::entryField(first.entries.at(i))))
                error += QLatin1String("\n*** loaded entry ") + QString::number(i + 1) +
                         QLatin1String(" cannot be written: ") + shown(first.entries.at(i));
        }
        FuzzSupport::fail("rv.db round trip: the save of a loaded list failed", error);
    }

    const RememberedFile::LoadResult second = RememberedFile::load(dataDir);
    if (second.status != RememberedFile::LoadStatus::Loaded)
        FuzzSupport::fail("rv.db round trip: the saved rv.db did not load", second.error);
    if (second.entries.size() != first.entries.size())
        FuzzSupport::fail("rv.db round trip: the number of entries changed",
                          QString::number(first.entries.size()) + QLatin1String(" -> ") +
                              QString::number(second.entries.size()));
    for (qsizetype i = 0; i < first.entries.size(); ++i) {
        if (second.entries.at(i) != first.entries.at(i))
            FuzzSupport::fail("rv.db round trip: an entry changed",
                              QLatin1String("entry ") + QString::number(i + 1) +
                                  QLatin1String(": ") + shown(first.entries.at(i)) +
                                  QLatin1String(" -> ") + shown(second.entries.at(i)));
    }

    // Both files of a save hold the same list.
    QFile saved(RememberedFile::filePath(dataDir));
    QFile copy(RememberedFile::workingCopyPath(dataDir));
    if (!saved.open(QIODevice::ReadOnly) || !copy.open(QIODevice::ReadOnly) ||
        saved.readAll() != copy.readAll())
        FuzzSupport::fail("rv.db round trip: rv.db and rv2.db differ after a save");
    return 0;
}
