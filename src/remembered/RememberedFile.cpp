#include "remembered/RememberedFile.h"

#include "core/QuotedLineFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace RememberedFile {

namespace {

QString noDataDirError()
{
    return QCoreApplication::translate("RememberedFile",
                                       "No data folder is set for the remembered numbers.");
}

// Reads the entries of one file. False, with `error` set, when it cannot be read.
bool readEntries(const QString &path, LoadResult *result)
{
    QFile file(path);
    QByteArray bytes;
    if (file.open(QIODevice::ReadOnly))
        bytes = file.readAll();
    if (!file.isOpen() || file.error() != QFileDevice::NoError) {
        result->error = QCoreApplication::translate("RememberedFile", "Could not read %1: %2")
                            .arg(QDir::toNativeSeparators(path), file.errorString());
        return false;
    }
    file.close();
    result->fingerprint = ListFingerprint::of(bytes);

    const QList<QByteArrayView> fields =
        QuotedLineFile::fieldBytes(bytes, QuotedLineFile::EmptyLines::Skip);
    result->packed.reserve(fields.size(), bytes.size());
    for (const QByteArrayView field : fields) {
        if (!field.isEmpty())
            result->blankedEntries += result->packed.appendField(field) ? 1 : 0;
    }
    return true;
}

bool writeEntries(const QStringList &paths, const PackedEntries &entries, QString *error,
                  const BeforeReplacing &beforeReplacing)
{
    QByteArray bytes;
    QString unwritable;
    if (!entries.fileBytes(&bytes, &unwritable)) {
        if (error)
            *error = QCoreApplication::translate("RememberedFile", "Could not write %1: %2")
                         .arg(QDir::toNativeSeparators(paths.first()),
                              QuotedLineFile::unwritableError(unwritable));
        return false;
    }
    if (beforeReplacing && !beforeReplacing(bytes, error))
        return false;

    // Each write replaces its file atomically and reaches the disk before the next
    // one starts: rv.db is only touched once rv2.db holds the complete new list.
    for (const QString &path : paths) {
        QString reason;
        if (!QuotedLineFile::writeBytes(path, bytes, &reason)) {
            if (error)
                *error = QCoreApplication::translate("RememberedFile", "Could not write %1: %2")
                             .arg(QDir::toNativeSeparators(path), reason);
            return false;
        }
    }
    return true;
}

PackedEntries packed(const QList<RememberedEntry> &entries)
{
    PackedEntries result;
    result.reserve(entries.size(), 0);
    for (const RememberedEntry &entry : entries)
        result.append(entry);
    return result;
}

LoadResult unpacked(LoadResult result)
{
    result.entries.reserve(result.packed.size());
    for (qsizetype i = 0; i < result.packed.size(); ++i)
        result.entries.append(result.packed.at(i));
    result.packed.clear();
    return result;
}

} // namespace

QString filePath(const QString &dataDir)
{
    return QDir(dataDir).filePath(QLatin1String(fileName));
}

QString workingCopyPath(const QString &dataDir)
{
    return QDir(dataDir).filePath(QLatin1String(workingCopyName));
}

QString entryField(const RememberedEntry &entry)
{
    return entry.Value + u':' + entry.Description + u':' + entry.Words;
}

LoadResult load(const QString &dataDir)
{
    return unpacked(loadPacked(dataDir, false));
}

LoadResult loadWorkingCopy(const QString &dataDir)
{
    return unpacked(loadPacked(dataDir, true));
}

LoadResult loadPacked(const QString &dataDir, bool workingCopyOnly)
{
    LoadResult result;
    if (workingCopyOnly) {
        const QString copyPath = workingCopyPath(dataDir);
        if (dataDir.isEmpty() || !QFileInfo::exists(copyPath))
            return result;
        result.status =
            readEntries(copyPath, &result) ? LoadStatus::Loaded : LoadStatus::Unreadable;
        return result;
    }
    if (dataDir.isEmpty()) {
        result.status = LoadStatus::Unreadable;
        result.error = noDataDirError();
        return result;
    }

    // rv.db goes missing only when a save was cut short after rv2.db was complete,
    // so rv2.db then holds the whole list.
    const QString path = filePath(dataDir);
    const QString copyPath = workingCopyPath(dataDir);
    LoadStatus found = LoadStatus::Loaded;
    QString source = path;
    if (!QFileInfo::exists(path)) {
        if (!QFileInfo::exists(copyPath))
            return result;
        found = LoadStatus::LoadedFromWorkingCopy;
        source = copyPath;
    }

    if (readEntries(source, &result)) {
        result.status = found;
        return result;
    }
    result.status = LoadStatus::Unreadable;
    if (found != LoadStatus::Loaded)
        return result;

    // rv.db is there but cannot be read: rv2.db, written by the last save, is the
    // next best copy.
    LoadResult copy = loadPacked(dataDir, true);
    if (copy.status == LoadStatus::Loaded) {
        copy.status = LoadStatus::WorkingCopyInstead;
        copy.error = result.error;
        return copy;
    }
    if (copy.status == LoadStatus::Unreadable)
        result.error += u'\n' + copy.error;
    return result;
}

bool save(const QString &dataDir, const QList<RememberedEntry> &entries, QString *error)
{
    return save(dataDir, packed(entries), error);
}

bool saveWorkingCopy(const QString &dataDir, const QList<RememberedEntry> &entries, QString *error)
{
    return saveWorkingCopy(dataDir, packed(entries), error);
}

bool save(const QString &dataDir, const PackedEntries &entries, QString *error,
          const BeforeReplacing &beforeReplacing)
{
    if (dataDir.isEmpty()) {
        if (error)
            *error = noDataDirError();
        return false;
    }
    return writeEntries({workingCopyPath(dataDir), filePath(dataDir)}, entries, error,
                        beforeReplacing);
}

bool saveWorkingCopy(const QString &dataDir, const PackedEntries &entries, QString *error,
                     const BeforeReplacing &beforeReplacing)
{
    if (dataDir.isEmpty()) {
        if (error)
            *error = noDataDirError();
        return false;
    }
    return writeEntries({workingCopyPath(dataDir)}, entries, error, beforeReplacing);
}

bool readsAs(const QString &dataDir, const PackedEntries &entries)
{
    if (dataDir.isEmpty())
        return false;
    QFile file(filePath(dataDir));
    if (!file.open(QIODevice::ReadOnly))
        return false;

    // Read a piece at a time, whole lines only, so that a long list is not held twice
    // over. A CR LF cut in two reads as a line end and an empty line, which is skipped
    // as a load skips it.
    qsizetype next = 0;
    QByteArray lines;
    for (bool atEnd = false; !atEnd;) {
        const QByteArray piece = file.read(1 << 20);
        if (file.error() != QFileDevice::NoError)
            return false;
        atEnd = piece.isEmpty();
        lines += piece;
        const qsizetype whole =
            atEnd ? lines.size() : std::max(lines.lastIndexOf('\n'), lines.lastIndexOf('\r')) + 1;
        for (const QByteArrayView field : QuotedLineFile::fieldBytes(
                 QByteArrayView(lines).first(whole), QuotedLineFile::EmptyLines::Skip)) {
            if (field.isEmpty())
                continue;
            // A quote in a field is read as a blank, which no entry here holds.
            if (next == entries.size() || entries.isKeptAside(next) || field.contains('"') ||
                PackedEntries::cut(field) != PackedEntries::cut(entries.field(next)))
                return false;
            ++next;
        }
        lines.remove(0, whole);
    }
    return next == entries.size();
}

void removeStaleTemporaries(const QString &dataDir)
{
    QuotedLineFile::removeLeftovers(dataDir,
                                    {QLatin1String(fileName), QLatin1String(workingCopyName)});
}

} // namespace RememberedFile
