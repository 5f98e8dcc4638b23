// The journal of changes on its own, with a list file folded in now and then, for
// tests/kill-during-append.sh. The list file "list.db" holds one number a line; the
// numbers it holds and those the journal adds must be 1, 2, 3... whenever it is killed.
//
//   journal_appender append DATA_DIR COUNT   stores numbers on from those held, printing
//                                            each once it is on the disk; every 50th
//                                            store writes the whole list file
//   journal_appender check DATA_DIR          prints how many numbers are held; fails
//                                            unless they are 1, 2, 3... with no message
#include "core/QuotedLineFile.h"
#include "remembered/RememberedJournal.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cstdio>

namespace {

QByteArray listBytes(qsizetype count)
{
    QByteArray bytes;
    for (qsizetype n = 1; n <= count; ++n)
        bytes += '"' + QByteArray::number(n) + "\"\r\n";
    return bytes;
}

int fail(const QString &message)
{
    std::fprintf(stderr, "%s\n", qPrintable(message));
    return 1;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3)
        return 2;
    const QString dataDir = args.at(2);
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
        return fail(replay.error);
    for (const RememberedJournal::Record &record : replay.records)
        held.append(record.entry.Value);
    for (qsizetype i = 0; i < held.size(); ++i) {
        if (held.at(i) != QString::number(i + 1))
            return fail(QStringLiteral("number %1 reads as %2").arg(i + 1).arg(held.at(i)));
    }
    if (args.at(1) == QLatin1String("check")) {
        std::printf("%lld\n", static_cast<long long>(held.size()));
        return 0;
    }

    const qsizetype count = args.size() > 3 ? args.at(3).toLongLong() : 1000;
    const qsizetype first = held.size() + 1;
    for (qsizetype n = first; n < first + count; ++n) {
        QString error;
        const RememberedEntry entry{QString::number(n), QStringLiteral("kill trial"),
                                    QStringLiteral("tin")};
        if (!journal.append(RememberedJournal::Change::Store, entry, &error))
            return fail(error);
        // Acknowledged: the number is on the disk.
        std::printf("%lld\n", static_cast<long long>(n));
        std::fflush(stdout);
        if (n % 50 == 0) {
            const qsizetype mark = journal.mark();
            const QByteArray all = listBytes(n);
            const ListFingerprint saved = ListFingerprint::of(all);
            if (!journal.noteFold(mark, saved, &error) ||
                !QuotedLineFile::writeBytes(listPath, all, &error) ||
                !journal.compact(mark, saved, &error))
                return fail(error);
        }
    }
    return 0;
}
