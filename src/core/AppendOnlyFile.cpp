#include "core/AppendOnlyFile.h"

#include "core/DirectorySync.h"
#include "core/FileSync.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <algorithm>

AppendOnlyFile::AppendOnlyFile(QString path, QString failure, LineEnd lineEnd)
    : m_path(std::move(path)), m_failure(std::move(failure)), m_lineEnd(lineEnd)
{}

AppendOnlyFile::~AppendOnlyFile() = default;

bool AppendOnlyFile::open(QString *reason)
{
    const auto fail = [&](const QFile &file) {
        if (reason)
            *reason = file.errorString();
        return false;
    };
    const bool created = !QFileInfo::exists(m_path);
    auto file = std::make_unique<QFile>(m_path);
    if (!file->open(QIODevice::ReadWrite))
        return fail(*file);
    // A line left without its end (an append cut short that no load repaired) must
    // not swallow the next line: it becomes a line of its own.
    if (file->size() > 0) {
        char last = 0;
        if (!file->seek(file->size() - 1) || !file->getChar(&last))
            return fail(*file);
        const bool ended = last == '\n' || (m_lineEnd == LineEnd::CrOrLf && last == '\r');
        if (!ended && file->write("\r\n", 2) != 2)
            return fail(*file);
    }
    if (!file->seek(file->size()))
        return fail(*file);
    m_file = std::move(file);
    if (created)
        DirectorySync::sync(QFileInfo(m_path).path());
    return true;
}

bool AppendOnlyFile::append(QByteArrayView lines, QString *error)
{
    QString reason;
    const auto fail = [&] {
        if (error)
            *error = m_failure.arg(QDir::toNativeSeparators(m_path), reason);
        return false;
    };
    if (!m_file && !open(&reason))
        return fail();
    const qint64 before = m_file->pos();
    if (m_file->write(lines.data(), lines.size()) != lines.size() || !FileSync::flush(*m_file)) {
        reason = m_file->errorString();
        // Take back the part written, so that none of it reads as a line and the next
        // append starts a line of its own.
        m_file->resize(before);
        FileSync::flush(*m_file);
        m_file.reset();
        return fail();
    }
    return true;
}

AppendOnlyFile::LoadState AppendOnlyFile::load(const QString &path,
                                               const std::function<qint64(QByteArrayView)> &read)
{
    LoadState state;
    QFile file(path);
    if (!file.exists())
        return state;
    state.exists = true;
    if (!file.open(QIODevice::ReadOnly)) {
        state.error = file.errorString();
        return state;
    }
    // A long file is read where it lies, without a copy.
    QByteArray copy;
    QByteArrayView bytes;
    if (uchar *mapped = file.size() > 0 ? file.map(0, file.size()) : nullptr) {
        bytes = QByteArrayView(reinterpret_cast<const char *>(mapped), file.size());
    } else {
        copy = file.readAll();
        if (file.error() != QFileDevice::NoError) {
            state.error = file.errorString();
            return state;
        }
        bytes = copy;
    }
    const qint64 whole = read(bytes);
    const bool torn = whole < bytes.size();
    // Let go of the bytes before the file is shortened.
    file.close();
    if (torn)
        state.repaired = cutTo(path, whole);
    return state;
}

bool AppendOnlyFile::cutTo(const QString &path, qint64 length)
{
    QFile file(path);
    return file.open(QIODevice::ReadWrite) && file.resize(length) && FileSync::flush(file);
}

QString AppendOnlyFile::unreadableLines(const QList<qsizetype> &lines, const QString &file,
                                        const QString &one, const QString &some,
                                        const QString &kept)
{
    constexpr qsizetype shown = 5;
    QStringList numbers;
    for (qsizetype i = 0; i < std::min(lines.size(), shown); ++i)
        numbers.append(QString::number(lines.at(i)));
    QString which = numbers.join(QStringLiteral(", "));
    if (lines.size() > shown)
        which +=
            QCoreApplication::translate("AppendOnlyFile", " and %1 more").arg(lines.size() - shown);
    return (lines.size() == 1 ? one : some).arg(file, which) + u' ' + kept;
}
