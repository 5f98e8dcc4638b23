#include "remembered/RememberedJournal.h"

#include "core/AppendOnlyFile.h"
#include "core/Cp1252.h"
#include "core/DirectorySync.h"
#include "core/QuotedLineFile.h"
#include "remembered/PackedEntries.h"
#include "remembered/RememberedFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <cstring>

namespace {

constexpr QByteArrayView headerTag = "numbrill journal 1";
constexpr QByteArrayView storeTag = "store";
constexpr QByteArrayView forgetTag = "forget";
constexpr QByteArrayView foldTag = "fold";

QString translated(const char *text)
{
    return QCoreApplication::translate("RememberedJournal", text);
}

QByteArray fingerprintText(const ListFingerprint &list)
{
    return QByteArray::number(list.size) + ':' +
           QByteArray::number(list.hash, 16).rightJustified(16, '0');
}

// "SIZE:HASH" at the end of a field.
bool readFingerprint(QByteArrayView text, ListFingerprint *list)
{
    const qsizetype colon = text.indexOf(':');
    if (colon <= 0 || text.size() - colon - 1 != 16)
        return false;
    bool sizeOk = false, hashOk = false;
    list->size = text.first(colon).toLongLong(&sizeOk);
    list->hash = text.sliced(colon + 1).toULongLong(&hashOk, 16);
    return sizeOk && hashOk && list->size >= 0;
}

// The entry of "VALUE:DESCRIPTION:WORDS", read as a line of rv.db is.
RememberedEntry entryOf(QByteArrayView field)
{
    PackedEntries entries;
    entries.appendField(field);
    return entries.at(0);
}

} // namespace

ListFingerprint ListFingerprint::of(QByteArrayView bytes)
{
    // Each step mixes in eight bytes, read in the same order on every machine, as
    // FNV-1a mixes in one, and folds the high half of the state down so that every
    // bit of it reaches the low bits the next multiplication spreads upwards.
    constexpr quint64 prime = 0x100000001b3ULL;
    ListFingerprint list;
    list.size = bytes.size();
    quint64 h = list.hash;
    const char *at = bytes.data();
    const char *const end = at + bytes.size();
    for (; end - at >= 8; at += 8) {
        h ^= qFromLittleEndian<quint64>(at);
        h *= prime;
        h ^= h >> 32;
    }
    for (; at < end; ++at) {
        h ^= uchar(*at);
        h *= prime;
        h ^= h >> 32;
    }
    list.hash = h;
    return list;
}

QString RememberedJournal::filePath(const QString &dataDir)
{
    return QDir(dataDir).filePath(QLatin1String(fileName));
}

RememberedJournal::RememberedJournal(QString dataDir)
    : m_dataDir(std::move(dataDir)), m_path(filePath(m_dataDir))
{}

RememberedJournal::~RememberedJournal() = default;

QByteArray RememberedJournal::headerLine(const ListFingerprint &list)
{
    return '"' + headerTag.toByteArray() + ':' + fingerprintText(list) + "\"\r\n";
}

QByteArray RememberedJournal::recordLine(const Record &record)
{
    const QByteArrayView tag = record.change == Change::Store ? storeTag : forgetTag;
    QByteArray field = Cp1252::encode(RememberedFile::entryField(record.entry));
    // A quote or a line break would end the field early; a load of rv.db reads them
    // as blanks, and so does the journal.
    for (char &c : field) {
        if (c == '"' || c == '\r' || c == '\n')
            c = ' ';
    }
    return '"' + tag.toByteArray() + ':' + field + "\"\r\n";
}

QByteArray RememberedJournal::foldLine(const Fold &fold)
{
    return '"' + foldTag.toByteArray() + ':' + QByteArray::number(fold.count) + ':' +
           fingerprintText(fold.list) + "\"\r\n";
}

RememberedJournal::Record RememberedJournal::normalised(Record record)
{
    QByteArray line = recordLine(record);
    line.chop(3);
    const qsizetype colon = line.indexOf(':');
    record.entry = entryOf(QByteArrayView(line).sliced(colon + 1));
    return record;
}

RememberedJournal::Parsed RememberedJournal::parse(QByteArrayView bytes)
{
    Parsed parsed;
    qsizetype lineNumber = 0;
    qsizetype at = 0;
    while (at < bytes.size()) {
        const char *start = bytes.data() + at;
        const auto *end = static_cast<const char *>(std::memchr(start, '\n', bytes.size() - at));
        if (!end)
            break; // no line end: the torn line of an append cut short
        QByteArrayView line(start, end - start);
        at = end - bytes.data() + 1;
        ++lineNumber;
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.isEmpty()) {
            parsed.wholeLength = at;
            continue;
        }

        const bool quoted = line.size() >= 2 && line.startsWith('"') && line.endsWith('"') &&
                            !line.sliced(1, line.size() - 2).contains('"') && !line.contains('\r');
        const QByteArrayView field = quoted ? line.sliced(1, line.size() - 2) : QByteArrayView();
        const qsizetype colon = field.indexOf(':');
        const QByteArrayView tag = colon > 0 ? field.first(colon) : QByteArrayView();
        const QByteArrayView rest = colon > 0 ? field.sliced(colon + 1) : QByteArrayView();
        bool read = false;
        if (!parsed.hasHeader) {
            read = lineNumber == 1 && tag == headerTag && readFingerprint(rest, &parsed.base);
            parsed.hasHeader = read;
        } else if (tag == storeTag || tag == forgetTag) {
            parsed.records.append(
                {tag == storeTag ? Change::Store : Change::Forget, entryOf(rest)});
            read = true;
        } else if (tag == foldTag) {
            const qsizetype countEnd = rest.indexOf(':');
            Fold fold;
            fold.after = parsed.records.size();
            bool countOk = false;
            if (countEnd > 0)
                fold.count = rest.first(countEnd).toLongLong(&countOk);
            read = countOk && fold.count >= 0 && fold.count <= parsed.records.size() &&
                   readFingerprint(rest.sliced(countEnd + 1), &fold.list);
            if (read)
                parsed.folds.append(fold);
        }
        if (!read) {
            parsed.badLine = lineNumber;
            break;
        }
        parsed.wholeLength = at;
    }
    return parsed;
}

bool RememberedJournal::replayFor(const Parsed &parsed, const ListFingerprint &listFile,
                                  QList<Record> *records)
{
    // The last fold that wrote this list file tells what it holds; without one, the
    // file must be the one the journal starts from.
    for (qsizetype i = parsed.folds.size() - 1; i >= 0; --i) {
        if (parsed.folds.at(i).list == listFile) {
            *records = parsed.records.sliced(parsed.folds.at(i).count);
            return true;
        }
    }
    if (parsed.hasHeader && parsed.base == listFile) {
        *records = parsed.records;
        return true;
    }
    records->clear();
    return false;
}

QString RememberedJournal::writeError(const QString &reason) const
{
    return translated("%1 could not be written: %2").arg(QDir::toNativeSeparators(m_path), reason);
}

RememberedJournal::Replay RememberedJournal::open(const ListFingerprint &listFile)
{
    const QMutexLocker lock(&m_mutex);
    Replay replay;
    m_file.reset();
    m_base = listFile;
    m_records = 0;
    m_ahead = 0;
    m_started = false;
    m_blocked.clear();

    QFile file(m_path);
    if (!file.exists())
        return replay;
    QByteArray bytes;
    if (file.open(QIODevice::ReadOnly))
        bytes = file.readAll();
    const bool readable = file.isOpen() && file.error() == QFileDevice::NoError;
    const QString readError = file.errorString();
    file.close();

    const Parsed parsed = readable ? parse(bytes) : Parsed();
    QList<Record> records;
    const bool belongs = readable && replayFor(parsed, listFile, &records);
    if (readable && belongs && parsed.badLine == 0) {
        m_base = parsed.base;
        m_records = parsed.records.size();
        m_started = true;
        if (parsed.wholeLength < bytes.size())
            replay.repaired = AppendOnlyFile::cutTo(m_path, parsed.wholeLength);
        replay.records = records;
        return replay;
    }

    // The journal cannot be used as it is: keep it whole aside, and begin again with
    // the changes that could be read, so that they stay on the disk.
    const QString aside = QDir(m_dataDir).filePath(QLatin1String(asideName));
    QFile::remove(aside);
    const bool movedAside = QFile::rename(m_path, aside);
    if (movedAside)
        DirectorySync::sync(m_dataDir);
    QString what;
    if (!readable)
        what =
            translated("%1 could not be read: %2").arg(QDir::toNativeSeparators(m_path), readError);
    else if (!belongs)
        what = translated("The changes in %1 were made to another version of the list of "
                          "remembered numbers, so they were not applied.")
                   .arg(QDir::toNativeSeparators(m_path));
    else
        what = translated("Line %1 of %2 could not be read; the changes before it were "
                          "applied.")
                   .arg(parsed.badLine)
                   .arg(QDir::toNativeSeparators(m_path));
    replay.error =
        what + u' ' +
        (movedAside ? translated("The file was kept as %1.").arg(QDir::toNativeSeparators(aside))
                    : translated("It could not be moved aside to %1.")
                          .arg(QDir::toNativeSeparators(aside)));
    if (!movedAside)
        m_blocked = replay.error;
    if (belongs && movedAside) {
        QString error;
        const Lines lines = linesOf(records);
        if (records.isEmpty() || rewrite(listFile, lines.bytes, lines.count, &error))
            replay.records = records;
        else
            replay.error += u'\n' + error;
    }
    return replay;
}

bool RememberedJournal::rewrite(const ListFingerprint &base, const QByteArray &lines,
                                qsizetype count, QString *error)
{
    const QByteArray bytes = headerLine(base) + lines;
    m_file.reset();
    QString reason;
    if (!QuotedLineFile::writeBytes(m_path, bytes, &reason)) {
        if (error)
            *error = writeError(reason);
        return false;
    }
    m_base = base;
    m_records = count;
    m_started = true;
    return true;
}

bool RememberedJournal::appendBytes(const QByteArray &bytes, QString *error)
{
    // The journal reads only an LF as a line end.
    if (!m_file)
        m_file = std::make_unique<AppendOnlyFile>(m_path, translated("%1 could not be written: %2"),
                                                  AppendOnlyFile::LineEnd::Lf);
    return m_file->append(bytes, error);
}

RememberedJournal::Lines RememberedJournal::linesOf(const QList<Record> &records)
{
    Lines lines;
    for (const Record &record : records) {
        const QString field = RememberedFile::entryField(record.entry);
        if (!Cp1252::canEncode(field)) {
            lines.unwritable = field;
            return lines;
        }
        lines.bytes += recordLine(record);
    }
    lines.count = records.size();
    return lines;
}

bool RememberedJournal::append(const QList<Record> &records, QString *error)
{
    return append(linesOf(records), error);
}

bool RememberedJournal::append(const Lines &lines, QString *error)
{
    const QMutexLocker lock(&m_mutex);
    return appendLines(lines, true, error);
}

bool RememberedJournal::appendAhead(const Lines &lines, QString *error)
{
    const QMutexLocker lock(&m_mutex);
    return appendLines(lines, false, error);
}

void RememberedJournal::counted(qsizetype changes)
{
    const QMutexLocker lock(&m_mutex);
    changes = std::min(changes, m_ahead);
    m_ahead -= changes;
    m_records += changes;
}

bool RememberedJournal::appendLines(const Lines &lines, bool count, QString *error)
{
    if (!lines.unwritable.isNull()) {
        if (error)
            *error = writeError(QuotedLineFile::unwritableError(lines.unwritable));
        return false;
    }
    if (lines.count == 0)
        return true;
    if (!m_blocked.isEmpty()) {
        if (error)
            *error = m_blocked;
        return false;
    }
    // Changes written ahead of their rows are counted once their rows are in place: a
    // save's mark taken before then leaves them for the journal to keep.
    const qsizetype counting = count ? lines.count : 0;
    // The journal's first line is written with the first change, whole or not at all.
    if (!m_started) {
        if (!rewrite(m_base, lines.bytes, m_records + counting, error))
            return false;
    } else if (!appendBytes(lines.bytes, error)) {
        return false;
    } else {
        m_records += counting;
    }
    m_ahead += lines.count - counting;
    return true;
}

bool RememberedJournal::append(Change change, const RememberedEntry &entry, QString *error)
{
    return append(QList<Record>{{change, entry}}, error);
}

qsizetype RememberedJournal::mark() const
{
    const QMutexLocker lock(&m_mutex);
    return m_records;
}

bool RememberedJournal::noteFold(qsizetype mark, const ListFingerprint &saved, QString *error)
{
    const QMutexLocker lock(&m_mutex);
    // With no journal on the disk there is nothing the new list file could be
    // confused with.
    if (!m_started)
        return true;
    return appendBytes(foldLine({mark, saved}), error);
}

bool RememberedJournal::compact(qsizetype mark, const ListFingerprint &saved, QString *error)
{
    const QMutexLocker lock(&m_mutex);
    if (!m_started) {
        m_base = saved;
        return true;
    }
    QFile file(m_path);
    QByteArray bytes;
    if (file.open(QIODevice::ReadOnly))
        bytes = file.readAll();
    if (!file.isOpen() || file.error() != QFileDevice::NoError) {
        if (error)
            *error = translated("%1 could not be read: %2")
                         .arg(QDir::toNativeSeparators(m_path), file.errorString());
        return false;
    }
    const Parsed parsed = parse(bytes);
    // Changes written ahead of their rows may follow the counted ones.
    if (parsed.badLine != 0 || parsed.records.size() != m_records + m_ahead || mark > m_records) {
        if (error)
            *error =
                translated("%1 changed while it was in use.").arg(QDir::toNativeSeparators(m_path));
        return false;
    }
    if (mark == m_records && m_ahead == 0) {
        // Nothing left to keep: the list file holds every change.
        m_file.reset();
        QFile journal(m_path);
        if (!journal.remove()) {
            if (error)
                *error = writeError(journal.errorString());
            return false;
        }
        DirectorySync::sync(m_dataDir);
        m_base = saved;
        m_records = 0;
        m_started = false;
        return true;
    }
    const Lines rest = linesOf(parsed.records.sliced(mark));
    return rewrite(saved, rest.bytes, rest.count - m_ahead, error);
}
