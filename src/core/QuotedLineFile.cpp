#include "core/QuotedLineFile.h"

#include "core/Cp1252.h"

#include <QCoreApplication>
#include <QFile>
#include <QSaveFile>

namespace QuotedLineFile {

QString fieldOf(QStringView line)
{
    if (!line.startsWith(u'"'))
        return line.toString();
    const QStringView rest = line.mid(1);
    const qsizetype close = rest.indexOf(u'"');
    return (close < 0 ? rest : rest.left(close)).toString();
}

QStringList parse(QByteArrayView bytes, EmptyLines emptyLines)
{
    QStringList fields;
    qsizetype start = 0;
    while (start < bytes.size()) {
        qsizetype end = bytes.indexOf('\n', start);
        const qsizetype next = end < 0 ? bytes.size() : end + 1;
        if (end < 0)
            end = bytes.size();
        if (end > start && bytes.at(end - 1) == '\r')
            --end;
        if (end > start || emptyLines == EmptyLines::Keep)
            fields.append(fieldOf(Cp1252::decode(bytes.sliced(start, end - start))));
        start = next;
    }
    return fields;
}

std::optional<QStringList> read(const QString &path, EmptyLines emptyLines)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return parse(bytes, emptyLines);
}

bool canWrite(QStringView field)
{
    return !field.contains(u'"') && !field.contains(u'\r') && !field.contains(u'\n') &&
           Cp1252::canEncode(field);
}

bool write(const QString &path, const QStringList &fields, QString *error)
{
    QByteArray bytes;
    for (const QString &field : fields) {
        if (!canWrite(field)) {
            if (error)
                *error = QCoreApplication::translate("QuotedLineFile",
                                                     "The text \"%1\" cannot be stored in a file.")
                             .arg(field);
            return false;
        }
        bytes += '"';
        bytes += Cp1252::encode(field);
        bytes += "\"\r\n";
    }

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

} // namespace QuotedLineFile
