#pragma once

#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// The text files of the program (word file, index, remembered numbers, export
// files) hold one field per line, in double quotes, nothing escaped, each line
// ending in CR LF, in Windows-1252. This is the one reader and writer for them.
namespace QuotedLineFile {

// The field of one line: the text between its opening quote and the next quote
// (the rest of the line when that quote is missing), or the whole line when it
// does not start with a quote.
QString fieldOf(QStringView line);

enum class EmptyLines
{
    Keep,
    Skip
};

// One field per line of the bytes. CR LF, LF and a lone CR (old Mac files) all end
// a line, so no field holds a line break; an empty line gives an empty field unless
// skipped (a line of two quotes is no empty line), and a final line end does not
// start another line.
QStringList parse(QByteArrayView bytes, EmptyLines emptyLines = EmptyLines::Keep);

// The same fields as parse(), left in their bytes: each view points into `bytes`.
QList<QByteArrayView> fieldBytes(QByteArrayView bytes, EmptyLines emptyLines = EmptyLines::Keep);

// Reads a whole file; no value when it cannot be opened or read, and then `error`
// names the system's reason.
std::optional<QStringList> read(const QString &path, EmptyLines emptyLines = EmptyLines::Keep,
                                QString *error = nullptr);

// Whether a field can be written so that it reads back unchanged.
bool canWrite(QStringView field);

// Writes all fields, replacing the file atomically, and makes the new file and its
// name durable before returning. Refuses fields that would not
// read back unchanged (a quote, a line break, a character outside the code page)
// and leaves the old file alone then. On failure, `error` says why.
bool write(const QString &path, const QStringList &fields, QString *error = nullptr);

// Writes lines already made (see write) in the same way.
bool writeBytes(const QString &path, const QByteArray &bytes, QString *error = nullptr);

// A write writes "<name>.XXXXXX" beside its file and renames it at the end; one killed
// in between leaves that behind. Removes those of the files `names` in `folder`.
void removeLeftovers(const QString &folder, const QStringList &names);

// What write() says of a field it refuses.
QString unwritableError(const QString &field);

} // namespace QuotedLineFile
