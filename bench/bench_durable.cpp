// How long a store takes to be on the disk in a long list, and how long the event loop
// stands still meanwhile: each number is stored once the one before is, while the
// saves of the whole list run beside the stores; then once more behind a sort and an
// export asked for just before. NUMBRILL_BENCH_ENTRIES sets the list's length
// (1,000,000 unless set).
#include "core/QuotedLineFile.h"
#include "remembered/RememberedFile.h"
#include "remembered/RememberedJournal.h"
#include "remembered/RememberedList.h"
#include "remembered/RememberedNumbers.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>

class BenchDurable : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void stores();
};

void BenchDurable::stores()
{
    const qsizetype entries = qEnvironmentVariableIsSet("NUMBRILL_BENCH_ENTRIES")
                                  ? qgetenv("NUMBRILL_BENCH_ENTRIES").toLongLong()
                                  : 1000000;
    QTemporaryDir dir;
    QByteArray list;
    for (qsizetype i = 0; i < entries; ++i)
        list += "\"" + QByteArray::number(i * 7919 % entries) + ":entry " + QByteArray::number(i) +
                ":meter tin\"\r\n";
    QVERIFY(QuotedLineFile::writeBytes(RememberedFile::filePath(dir.path()), list));
    list.clear();

    RememberedNumbers numbers;
    numbers.setDataDir(dir.path());
    numbers.load();
    numbers.drain();
    QCOMPARE(numbers.entryCount(), entries);

    QElapsedTimer clock;
    qint64 lastTick = 0;
    qint64 longestStall = 0;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    ticker.setInterval(2);
    connect(&ticker, &QTimer::timeout, this, [&] {
        longestStall = std::max(longestStall, clock.elapsed() - lastTick);
        lastTick = clock.elapsed();
    });
    clock.start();
    ticker.start();

    // The time from the store until its row is there and its change in the journal.
    const auto store = [&](int n) {
        const int before = numbers.entryCount();
        const qint64 asked = clock.elapsed();
        numbers.store(
            {QString::number(n), QStringLiteral("bench %1").arg(n), QStringLiteral(" tin me")});
        while (numbers.entryCount() == before)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        return clock.elapsed() - asked;
    };
    QList<qint64> durable;
    for (int n = 0; n < 20; ++n) {
        durable.append(store(n));
        QTest::qWait(50);
    }
    std::sort(durable.begin(), durable.end());
    const qint64 stallWhileStoring = longestStall;

    // Behind work asked for before it.
    longestStall = 0;
    numbers.sort(RememberedList::WordsColumn);
    numbers.exportFile(dir.filePath(QStringLiteral("export.txt")));
    // On the disk once the journal holds its line, which may be before its row is in
    // the list.
    const auto journaled = [&] {
        QFile journal(RememberedJournal::filePath(dir.path()));
        return journal.open(QIODevice::ReadOnly) && journal.readAll().contains("bench 100:");
    };
    const qint64 asked = clock.elapsed();
    const int before = numbers.entryCount();
    numbers.store({QStringLiteral("100"), QStringLiteral("bench 100"), QStringLiteral(" tin me")});
    while (!journaled())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    const qint64 behind = clock.elapsed() - asked;
    while (numbers.entryCount() == before)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    const qint64 behindInList = clock.elapsed() - asked;
    QVERIFY(QTest::qWaitFor([&] { return !numbers.isBusy(); }, 120000));
    numbers.drain();
    qInfo("%lld entries: a store on the disk after %lld ms (median), %lld ms (longest) of 20, "
          "the longest stall meanwhile %lld ms; behind a sort and an export: on the disk "
          "after %lld ms, in the list after %lld ms, the longest stall until all work ended "
          "%lld ms",
          qlonglong(entries), qlonglong(durable.at(durable.size() / 2)), qlonglong(durable.last()),
          qlonglong(stallWhileStoring), qlonglong(behind), qlonglong(behindInList),
          qlonglong(longestStall));
    QTest::setBenchmarkResult(double(durable.last()), QTest::WalltimeMilliseconds);
    numbers.setDiscarded(true);
}

QTEST_GUILESS_MAIN(BenchDurable)
#include "bench_durable.moc"
