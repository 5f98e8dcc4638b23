#include "core/BackgroundJob.h"

#include <QSemaphore>
#include <QStringList>
#include <QTest>

#ifdef __linux__
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

// Jobs asked for while a first one is held on its thread: which results are put in
// place, and what each job copied when it started.
class TestBackgroundJob : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void requests_data();
    void requests();
    void workGivesWayToTheWindow();
};

void TestBackgroundJob::requests_data()
{
    QTest::addColumn<QString>("asked");       // jobs asked for, the first held until all are
    QTest::addColumn<bool>("finish");         // ended by finish() instead of the event loop
    QTest::addColumn<QString>("made");        // job@value it copied when it started
    QTest::addColumn<QString>("done");        // whose result was put in place
    QTest::addColumn<bool>("firstOvertaken"); // what the first job's work saw at its end

    QTest::newRow("one job") << "A" << false << "A@1"
                             << "A" << false;
    QTest::newRow("a job asked meanwhile starts after, with what holds then")
        << "AB" << false << "A@1 B@9"
        << "B" << true;
    QTest::newRow("the latest of those waiting wins") << "ABC" << false << "A@1 C@9"
                                                      << "C" << true;
    QTest::newRow("finish() puts the last result in place here") << "ABC" << true << "A@1 C@9"
                                                                 << "C" << true;
}

void TestBackgroundJob::requests()
{
    QFETCH(QString, asked);
    QFETCH(bool, finish);
    QFETCH(QString, made);
    QFETCH(QString, done);
    QFETCH(bool, firstOvertaken);

    BackgroundJob job;
    QSemaphore gate;
    int value = 1;
    QStringList madeList, doneList;
    bool overtakenSeen = false;
    for (const QChar name : asked) {
        const bool first = name == asked.front();
        job.start([&, name, first] {
            madeList.append(QStringLiteral("%1@%2").arg(name).arg(value));
            return BackgroundJob::Task{[&, first](const BackgroundJob::Overtaken &overtaken) {
                                           if (first) {
                                               gate.acquire();
                                               overtakenSeen = overtaken;
                                           }
                                       },
                                       [&, name] { doneList.append(name); }};
        });
        // A result never arrives on the stack of the one asking.
        QVERIFY(doneList.isEmpty());
    }
    // What holds when the waiting job starts, not what held when it was asked for.
    value = 9;
    gate.release();
    if (finish)
        job.finish();
    else
        QTRY_VERIFY(!job.isRunning());
    QCOMPARE(madeList.join(u' '), made);
    QCOMPARE(doneList.join(u' '), done);
    QCOMPARE(overtakenSeen, firstOvertaken);
}

// A long list laid out by the window must not share a processor evenly with a save
// running at the same moment.
void TestBackgroundJob::workGivesWayToTheWindow()
{
#ifdef __linux__
    const auto niceOfThisThread = [] {
        return ::getpriority(PRIO_PROCESS, id_t(::syscall(SYS_gettid)));
    };
    BackgroundJob job;
    int workNice = 0;
    job.start([&] { workNice = niceOfThisThread(); }, [] {});
    job.finish();
    QCOMPARE_GT(workNice, niceOfThisThread());
#else
    QSKIP("Only Linux gives a thread a priority of its own that a test can read.");
#endif
}

QTEST_GUILESS_MAIN(TestBackgroundJob)
#include "tst_backgroundjob.moc"
