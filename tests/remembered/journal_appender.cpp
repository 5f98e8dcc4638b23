// The journal of changes on its own, with a list file folded in now and then, for
// tests/kill-during-append.sh. The list file "list.db" holds one number a line; the
// numbers it holds and those the journal adds must be 1, 2, 3... whenever it is killed.
//
//   journal_appender append DATA_DIR COUNT   stores numbers on from those held, printing
//                                            each once it is on the disk; every 50th
//                                            store writes the whole list file
//   journal_appender check DATA_DIR          prints how many numbers are held; fails
//                                            unless they are 1, 2, 3... with no message
#include "KillTrialWriter.h"
#include "core/QuotedLineFile.h"
#include "remembered/RememberedJournal.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

namespace {

QByteArray listBytes(qsizetype count)
{
    QByteArray bytes;
    for (qsizetype n = 1; n <= count; ++n)
        bytes += '"' + QByteArray::number(n) + "\"\r\n";
    return bytes;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const KillTrialWriter trial(app.arguments());
    if (!trial.valid())
        return 2;
    const QString dataDir = trial.dataDir();
    const QString listPath = QDir(dataDir).filePath(QStringLiteral("list.db"));

    QFile list(listPath);
    QByteArray bytes;
    if (list.open(QIODevice::ReadOnly))
        bytes = list.readAll();
    list.close();
    QStringList held = QuotedLineFile::parse(bytes, QuotedLineFile::EmptyLines::Skip);
    RememberedJournal journal(dataDir);
    const RememberedJournal::Replay replay = journal.open(ListFingerprint::of(bytes));
    if (!replay.error.isEmpty())
        return KillTrialWriter::fail(replay.error);
    for (const RememberedJournal::Record &record : replay.records)
        held.append(record.entry.Value);
    for (qsizetype i = 0; i < held.size(); ++i) {
        if (held.at(i) != QString::number(i + 1))
            return KillTrialWriter::fail(
                QStringLiteral("number %1 reads as %2").arg(i + 1).arg(held.at(i)));
    }
    if (trial.checking())
        return KillTrialWriter::held(held.size());

    const qsizetype first = held.size() + 1;
    for (qsizetype n = first; n < first + trial.count(); ++n) {
        QString error;
        const RememberedEntry entry{QString::number(n), QStringLiteral("kill trial"),
                                    QStringLiteral("tin")};
        if (!journal.append(RememberedJournal::Change::Store, entry, &error))
            return KillTrialWriter::fail(error);
        KillTrialWriter::acknowledge(n);
        if (n % 50 == 0) {
            const qsizetype mark = journal.mark();
            const QByteArray all = listBytes(n);
            const ListFingerprint saved = ListFingerprint::of(all);
            if (!journal.noteFold(mark, saved, &error) ||
                !QuotedLineFile::writeBytes(listPath, all, &error) ||
                !journal.compact(mark, saved, &error))
                return KillTrialWriter::fail(error);
        }
    }
    return 0;
}
