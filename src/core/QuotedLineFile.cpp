#include "core/QuotedLineFile.h"

#include "core/Cp1252.h"
#include "core/DirectorySync.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <cerrno>

namespace QuotedLineFile {

QString fieldOf(QStringView line)
{
    if (!line.startsWith(u'"'))
        return line.toString();
    const QStringView rest = line.mid(1);
    const qsizetype close = rest.indexOf(u'"');
    return (close < 0 ? rest : rest.left(close)).toString();
}

QList<QByteArrayView> fieldBytes(QByteArrayView bytes, EmptyLines emptyLines)
{
    QList<QByteArrayView> fields;
    fields.reserve(std::count(bytes.begin(), bytes.end(), '\n') + 1);
    const char *const end = bytes.data() + bytes.size();
    const char *line = bytes.data();
    while (line < end) {
        const char *lineEnd = line;
        while (lineEnd < end && *lineEnd != '\n' && *lineEnd != '\r')
            ++lineEnd;
        if (lineEnd > line || emptyLines == EmptyLines::Keep) {
            QByteArrayView field(line, lineEnd - line);
            // The same as fieldOf(): the quote is one byte in the code page.
            if (field.startsWith('"')) {
                field = field.sliced(1);
                if (const qsizetype close = field.indexOf('"'); close >= 0)
                    field = field.first(close);
            }
            fields.append(field);
        }
        line = lineEnd + 1;
        if (lineEnd + 1 < end && lineEnd[0] == '\r' && lineEnd[1] == '\n')
            ++line;
    }
    return fields;
}

QStringList parse(QByteArrayView bytes, EmptyLines emptyLines)
{
    QStringList fields;
    for (const QByteArrayView field : fieldBytes(bytes, emptyLines))
        fields.append(Cp1252::decode(field));
    return fields;
}

std::optional<QStringList> read(const QString &path, EmptyLines emptyLines, QString *error)
{
    QFile file(path);
    QByteArray bytes;
    if (file.open(QIODevice::ReadOnly))
        bytes = file.readAll();
    if (!file.isOpen() || file.error() != QFileDevice::NoError) {
        if (error)
            *error = file.errorString();
        return std::nullopt;
    }
    return parse(bytes, emptyLines);
}

bool canWrite(QStringView field)
{
    return !field.contains(u'"') && !field.contains(u'\r') && !field.contains(u'\n') &&
           Cp1252::canEncode(field);
}

QString unwritableError(const QString &field)
{
    return QCoreApplication::translate("QuotedLineFile",
                                       "The text \"%1\" cannot be stored in a file.")
        .arg(field);
}

bool write(const QString &path, const QStringList &fields, QString *error)
{
    QByteArray bytes;
    for (const QString &field : fields) {
        if (!canWrite(field)) {
            if (error)
                *error = unwritableError(field);
            return false;
        }
        bytes += '"';
        bytes += Cp1252::encode(field);
        bytes += "\"\r\n";
    }
    return writeBytes(path, bytes, error);
}

bool writeBytes(const QString &path, const QByteArray &bytes, QString *error)
{
    // Each step clears errno first: a failed write can leave the file's own error
    // unset ("Unknown error"), and then errno holds the real reason.
    QSaveFile file(path);
    errno = 0;
    bool written = file.open(QIODevice::WriteOnly);
    if (written) {
        errno = 0;
        written = file.write(bytes) == bytes.size();
    }
    // An explicit flush: a failure inside commit's own flush (a full disk) would
    // still let it put the short file in place and report success.
    if (written) {
        errno = 0;
        written = file.flush();
    }
    if (written) {
        errno = 0;
        written = file.commit();
    }
    if (!written) {
        const int reason = errno;
        // Qt may report a short write as "Unknown error"; the system's reason, when
        // the failing step left one, says more.
        if (error)
            *error = reason != 0 ? qt_error_string(reason) : file.errorString();
        return false;
    }
    // The commit flushed the new file; without this a power cut could still undo the
    // rename that put it in place.
    DirectorySync::sync(QFileInfo(path).absolutePath());
    return true;
}

void removeLeftovers(const QString &folder, const QStringList &names)
{
    if (folder.isEmpty())
        return;
    // Matched by hand: a wildcard would build a regular expression, and this runs as
    // the list is first read at start.
    QDir dir(folder);
    for (const QString &entry : dir.entryList(QDir::Files | QDir::Hidden)) {
        for (const QString &name : names) {
            if (entry.size() == name.size() + 7 && entry.startsWith(name, Qt::CaseInsensitive) &&
                entry.at(name.size()) == u'.')
                dir.remove(entry);
        }
    }
}

} // namespace QuotedLineFile
