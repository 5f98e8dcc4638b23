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
bool readEntries(const QString &path, LoadResult *result)
{
    QString reason;
    const std::optional<QStringList> fields =
        QuotedLineFile::read(path, QuotedLineFile::EmptyLines::Keep, &reason);
    if (!fields) {
        result->error = QCoreApplication::translate("RememberedFile", "Could not read %1: %2")
                            .arg(QDir::toNativeSeparators(path), reason);
        return false;
    }

    result->entries.reserve(fields->size());
    for (const QString &field : *fields) {
        if (field.isEmpty())
            continue;
        bool blanked = false;
        result->entries.append(entryFromFile(field, &blanked));
        result->blankedEntries += blanked ? 1 : 0;
    }
    return true;
}

bool writeEntries(const QStringList &paths, const QList<RememberedEntry> &entries, QString *error)
{
    QStringList fields;
    fields.reserve(entries.size());
    for (const RememberedEntry &entry : entries)
        fields.append(entryField(entry));

    // Each write replaces its file atomically and reaches the disk before the next
    // one starts: rv.db is only touched once rv2.db holds the complete new list.
    for (const QString &path : paths) {
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

RememberedEntry entryFromFile(const QString &field, bool *blanked)
{
    // Blanked before the split, so that a quote turned blank at the start of the
    // words goes with the other leading blanks, as it will at the next load.
    const QString writable = QuotedLineFile::blankUnwritable(field);
    *blanked = writable != field;
    return parseField(writable);
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

    if (readEntries(source, &result)) {
        result.status = found;
        return result;
    }
    result.status = LoadStatus::Unreadable;
    if (found != LoadStatus::Loaded)
        return result;

    // rv.db is there but cannot be read: rv2.db, written by the last save, is the
    // next best copy.
    LoadResult copy = loadWorkingCopy(dataDir);
    if (copy.status == LoadStatus::Loaded) {
        copy.status = LoadStatus::WorkingCopyInstead;
        copy.error = result.error;
        return copy;
    }
    if (copy.status == LoadStatus::Unreadable)
        result.error += u'\n' + copy.error;
    return result;
}

LoadResult loadWorkingCopy(const QString &dataDir)
{
    LoadResult result;
    const QString copyPath = workingCopyPath(dataDir);
    if (dataDir.isEmpty() || !QFileInfo::exists(copyPath))
        return result;
    result.status = readEntries(copyPath, &result) ? LoadStatus::Loaded : LoadStatus::Unreadable;
    return result;
}

bool save(const QString &dataDir, const QList<RememberedEntry> &entries, QString *error)
{
    if (dataDir.isEmpty()) {
        if (error)
            *error = noDataDirError();
        return false;
    }

    return writeEntries({workingCopyPath(dataDir), filePath(dataDir)}, entries, error);
}

bool saveWorkingCopy(const QString &dataDir, const QList<RememberedEntry> &entries, QString *error)
{
    if (dataDir.isEmpty()) {
        if (error)
            *error = noDataDirError();
        return false;
    }
    return writeEntries({workingCopyPath(dataDir)}, entries, error);
}

void removeStaleTemporaries(const QString &dataDir)
{
    if (dataDir.isEmpty())
        return;
    // A save writes "<name>.XXXXXX" beside its file and renames it at the end; one
    // killed in between leaves that behind.
    QDir dir(dataDir);
    const QStringList patterns{QLatin1String(fileName) + QStringLiteral(".??????"),
                               QLatin1String(workingCopyName) + QStringLiteral(".??????")};
    for (const QString &name : dir.entryList(patterns, QDir::Files | QDir::Hidden))
        dir.remove(name);
}

} // namespace RememberedFile
