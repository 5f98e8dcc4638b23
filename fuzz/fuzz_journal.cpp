// The journal of changes to the remembered numbers "rv.journal" on any bytes. What it
// reads, written again, reads back the same; a cut anywhere loses no more than the
// line it cuts; a journal that belongs to its list gives every change it holds, a
// torn last line cut off; and a change appended after that reads back last.
// Otherwise a store could be lost or change on its way through the disk.
#include "FuzzSupport.h"
#include "remembered/RememberedJournal.h"

#include <QDir>
#include <QFile>

namespace {

using Journal = RememberedJournal;

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The lines of a parse, written again in their order.
QByteArray written(const Journal::Parsed &parsed)
{
    QByteArray bytes = Journal::headerLine(parsed.base);
    qsizetype fold = 0;
    for (qsizetype i = 0; i <= parsed.records.size(); ++i) {
        for (; fold < parsed.folds.size() && parsed.folds.at(fold).after == i; ++fold)
            bytes += Journal::foldLine(parsed.folds.at(fold));
        if (i < parsed.records.size())
            bytes += Journal::recordLine(parsed.records.at(i));
    }
    return bytes;
}

bool sameParse(const Journal::Parsed &a, const Journal::Parsed &b)
{
    return a.hasHeader == b.hasHeader && a.base == b.base && a.records == b.records &&
           a.folds == b.folds;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = FuzzSupport::bytesOf(data, size);
    const Journal::Parsed parsed = Journal::parse(bytes);

    for (const Journal::Record &record : parsed.records) {
        if (Journal::normalised(record) != record)
            FuzzSupport::fail("rv.journal: a change read is not in the form written",
                              FuzzSupport::visible(record.entry.Value + u':' +
                                                   record.entry.Description + u':' +
                                                   record.entry.Words));
    }
    if (parsed.hasHeader && parsed.badLine == 0 &&
        !sameParse(Journal::parse(written(parsed)), parsed))
        FuzzSupport::fail("rv.journal round trip: the lines written again read back otherwise");

    // A cut at any place keeps every change of the lines before it.
    const qsizetype cut = size > 0 ? qsizetype(data[0]) * bytes.size() / 255 : 0;
    const Journal::Parsed shorter = Journal::parse(bytes.first(cut));
    if (parsed.badLine == 0 &&
        (shorter.badLine != 0 || shorter.records != parsed.records.first(shorter.records.size()) ||
         bytes.sliced(shorter.wholeLength, cut - shorter.wholeLength).contains('\n')))
        FuzzSupport::fail("rv.journal: a cut lost changes before it");

    // Opened for the list it starts from.
    const QString dataDir = FuzzSupport::scratchDir();
    const QString path = Journal::filePath(dataDir);
    QFile::remove(QDir(dataDir).filePath(QLatin1String(Journal::asideName)));
    FuzzSupport::writeFile(path, bytes);
    Journal::Replay replay;
    const Journal::Record extra{Journal::Change::Store, {"314159", "pi: start", "meter"}};
    {
        Journal journal(dataDir);
        replay = journal.open(parsed.base);
        QList<Journal::Record> expected;
        const bool belongs = Journal::replayFor(parsed, parsed.base, &expected);
        if (belongs && replay.records != expected)
            FuzzSupport::fail("rv.journal: an open did not give the changes it holds");
        if (belongs && parsed.badLine == 0 && readFile(path) != bytes.left(parsed.wholeLength))
            FuzzSupport::fail("rv.journal: an open changed more than a torn last line");
        QString error;
        if (!journal.append({extra}, &error))
            FuzzSupport::fail("rv.journal: an append failed", error);
    }
    Journal again(dataDir);
    const Journal::Replay second = again.open(parsed.base);
    if (!second.error.isEmpty())
        FuzzSupport::fail("rv.journal: what an open left could not be read", second.error);
    if (second.records != replay.records + QList<Journal::Record>{Journal::normalised(extra)})
        FuzzSupport::fail("rv.journal: the change appended did not read back last");
    return 0;
}
