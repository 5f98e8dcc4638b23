#include "remembered/RememberedFile.h"

#include "core/QuotedLineFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace RememberedFile {

namespace {

QString noDataDirError()
{
    return QCoreApplication::translate("RememberedFile",
                                       "No data folder is set for the remembered numbers.");
}

// Reads the entries of one file. False, with `error` set, when it cannot be read.
bool readEntries(const QString &path, QList<RememberedEntry> *entries, QString *error)
{
    QFile file(path);
    QByteArray bytes;
    if (file.open(QIODevice::ReadOnly))
        bytes = file.readAll();
    if (!file.isOpen() || file.error() != QFileDevice::NoError) {
        *error = QCoreApplication::translate("RememberedFile", "Could not read %1: %2")
                     .arg(QDir::toNativeSeparators(path), file.errorString());
        return false;
    }

    const QStringList fields = QuotedLineFile::parse(bytes);
    entries->reserve(fields.size());
    for (const QString &field : fields) {
        if (!field.isEmpty())
            entries->append(parseField(field));
    }
    return true;
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

RememberedEntry parseField(QStringView field)
{
    RememberedEntry entry;
    const qsizetype first = field.indexOf(u':');
    if (first < 0) {
        entry.Value = field.toString();
        return entry;
    }
    entry.Value = field.left(first).toString();

    const QStringView rest = field.mid(first + 1);
    const qsizetype second = rest.indexOf(u':');
    if (second < 0) {
        entry.Description = rest.toString();
        return entry;
    }
    entry.Description = rest.left(second).toString();

    QStringView words = rest.mid(second + 1);
    while (words.startsWith(u' '))
        words = words.mid(1);
    entry.Words = words.toString();
    return entry;
}

LoadResult load(const QString &dataDir)
{
    LoadResult result;
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

    result.status =
        readEntries(source, &result.entries, &result.error) ? found : LoadStatus::Unreadable;
    return result;
}

bool save(const QString &dataDir, const QList<RememberedEntry> &entries, QString *error)
{
    if (dataDir.isEmpty()) {
        if (error)
            *error = noDataDirError();
        return false;
    }

    QStringList fields;
    fields.reserve(entries.size());
    for (const RememberedEntry &entry : entries)
        fields.append(entryField(entry));

    // Each write replaces its file atomically and reaches the disk before the next
    // one starts: rv.db is only touched once rv2.db holds the complete new list.
    for (const QString &path : {workingCopyPath(dataDir), filePath(dataDir)}) {
        QString reason;
        if (!QuotedLineFile::write(path, fields, &reason)) {
            if (error)
                *error = QCoreApplication::translate("RememberedFile", "Could not write %1: %2")
                             .arg(QDir::toNativeSeparators(path), reason);
            return false;
        }
    }
    return true;
}

} // namespace RememberedFile
