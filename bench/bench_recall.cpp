#include "StartUpWatch.h"
#include "TestPaths.h"
#include "app/Program.h"
#include "core/AppInfo.h"
#include "recall/RecallHistory.h"
#include "recall/RecallHub.h"
#include "recall/RecallLog.h"
#include "recall/RecallStatisticsWindow.h"
#include "recall/RecallWindow.h"
#include "remembered/RememberedList.h"
#include "remembered/RememberedNumbers.h"
#include "settings/Registry.h"
#include "ui/MessageBox.h"
#include "ui/Windows.h"
#include "workspace/MainWindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <ctime>

// Spaced recall with 100,000 remembered numbers and 1,000,000 answers in the recall
// history (NUMBRILL_BENCH_ENTRIES and NUMBRILL_BENCH_ANSWERS pick others): reading
// the history and scheduling every number, on its thread, with the longest stall of the
// event loop meanwhile; opening the Recall and Recall Statistics windows; and the
// start of the whole program with and without the history.
class BenchRecall : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void loadAndSchedule();
    void windows();
    void startUp();

private:
    QString dataDir() const { return m_root.filePath(QStringLiteral("data")); }
    // Runs the event loop until `done`, ticking every 2 ms; the longest gap between
    // ticks.
    static qint64 longestStall(const std::function<bool()> &done);

    QTemporaryDir m_root;
    int m_entries = 100000;
    int m_answers = 1000000;
};

qint64 BenchRecall::longestStall(const std::function<bool()> &done)
{
    QElapsedTimer clock;
    clock.start();
    qint64 last = 0;
    qint64 longest = 0;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    ticker.setInterval(2);
    QEventLoop loop;
    QObject::connect(&ticker, &QTimer::timeout, &loop, [&] {
        longest = std::max(longest, clock.elapsed() - last);
        last = clock.elapsed();
        if (done())
            loop.quit();
    });
    ticker.start();
    loop.exec();
    return longest;
}

void BenchRecall::initTestCase()
{
    if (const int entries = qEnvironmentVariableIntValue("NUMBRILL_BENCH_ENTRIES"))
        m_entries = entries;
    if (const int answers = qEnvironmentVariableIntValue("NUMBRILL_BENCH_ANSWERS"))
        m_answers = answers;
    MessageBox::answerInstead(true);
    QDir(m_root.path()).mkpath(QStringLiteral("data"));
    const QString shipped = QString::fromUtf8(TestPaths::buildShareDir) + QStringLiteral("/data/");
    for (const char *name : {"num1.db", "num.db"})
        QVERIFY(QFile::copy(shipped + QLatin1String(name), dataDir() + u'/' + QLatin1String(name)));

    QRandomGenerator random(31415);
    QByteArray list;
    QList<QByteArray> numbers;
    for (int i = 0; i < m_entries; ++i) {
        QByteArray value;
        for (int d = random.bounded(4, 17); d > 0; --d)
            value += char('0' + random.bounded(10));
        numbers.append(value);
        list += '"' + value + ":number " + QByteArray::number(i) + ": meter tin bee\"\r\n";
    }
    QFile rv(dataDir() + QStringLiteral("/rv.db"));
    QVERIFY(rv.open(QIODevice::WriteOnly));
    rv.write(list);
    rv.close();

    // Answers over the last year, oldest first, one in eight wrong.
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    QByteArray log;
    log.reserve(qsizetype(m_answers) * 70);
    for (int i = 0; i < m_answers; ++i) {
        const int entry = random.bounded(m_entries);
        RecallLog::Answer answer;
        answer.time = now - 365 * Fsrs::day + qint64(i) * (365 * Fsrs::day / m_answers);
        answer.right = random.bounded(8) != 0;
        answer.grade = answer.right ? Fsrs::Grade::Good : Fsrs::Grade::Again;
        answer.milliseconds = random.bounded(1000, 20000);
        answer.number = QString::fromLatin1(numbers.at(entry));
        answer.description = QStringLiteral("number %1").arg(entry);
        log += RecallLog::line(answer);
    }
    QFile file(RecallLog::filePath(dataDir()));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(log);
    file.close();

    Registry::SetRegValue(QLatin1String(AppInfo::settingsPath),
                          QLatin1String(AppInfo::installDirSetting), m_root.path());
    Registry::SetRegValue(QLatin1String(AppInfo::settingsPath),
                          QLatin1String(AppInfo::firstTimeSetting), QStringLiteral("no"));
    qInfo("%d entries, %d answers (%.1f MB of history)", m_entries, m_answers,
          double(log.size()) / 1e6);
}

void BenchRecall::loadAndSchedule()
{
    RememberedList list;
    list.setDataDir(dataDir());
    list.readnumbers();
    QList<RecallEntry> entries;
    for (qsizetype i = 0; i < list.rows().size(); ++i)
        entries.append({list.rows().text(i, 0), list.rows().text(i, 1), list.rows().text(i, 2)});

    RecallHistory history;
    QElapsedTimer clock;
    clock.start();
    // Processor time too: the machine may be busy with other work.
    const std::clock_t cpuStart = std::clock();
    history.startLoading(dataDir());
    const qint64 stall = longestStall([&] { return history.isLoaded(); });
    const qint64 loaded = clock.elapsed();
    const std::clock_t cpuLoaded = std::clock();
    clock.restart();
    history.setEntries(entries);
    const qint64 mapStall = longestStall([&] { return history.hasEntries(); });
    const qint64 mapped = clock.elapsed();
    const auto ms = [](std::clock_t ticks) { return qint64(ticks) * 1000 / CLOCKS_PER_SEC; };
    qInfo("history read and scheduled on its thread: %lld ms, %lld ms of processor time "
          "(longest stall %lld ms); matched with the list on the thread: %lld ms, %lld ms of "
          "processor time (longest stall %lld ms); %d due now",
          loaded, ms(cpuLoaded - cpuStart), stall, mapped, ms(std::clock() - cpuLoaded), mapStall,
          history.dueCount(history.now()));
    QTest::setBenchmarkResult(double(loaded + mapped), QTest::WalltimeMilliseconds);
}

void BenchRecall::windows()
{
    RememberedNumbers::instance()->load();
    RecallHistory *history = RecallHub::history();
    longestStall([&] { return history->isLoaded() && history->items().size() > 0; });

    QElapsedTimer clock;
    clock.start();
    auto *recall = Windows::instance<RecallWindow>();
    recall->show();
    QVERIFY(QTest::qWaitForWindowExposed(recall));
    const qint64 recallOpen = clock.elapsed();
    QVERIFY(!recall->findChild<QLabel *>(QStringLiteral("descriptionLabel"))->text().isEmpty());

    clock.restart();
    auto *statistics = Windows::instance<RecallStatisticsWindow>();
    statistics->show();
    QVERIFY(QTest::qWaitForWindowExposed(statistics));
    const qint64 statisticsOpen = clock.elapsed();
    const qint64 stall = longestStall([&] { return !statistics->isComputing(); });
    const qint64 plotted = clock.elapsed();

    // One answer through the window: judged, written and synced, the next one shown.
    clock.restart();
    auto *answer = recall->findChild<QLineEdit *>(QStringLiteral("answerEdit"));
    QTest::keyClicks(answer, QStringLiteral("1"));
    QTest::keyClick(answer, Qt::Key_Return);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    const qint64 answered = clock.elapsed();
    qInfo("Recall window open: %lld ms; Recall Statistics open: %lld ms, plots filled after "
          "%lld ms (longest stall %lld ms); an answer written and the next shown: %lld ms",
          recallOpen, statisticsOpen, plotted, stall, answered);
    Windows::releaseAll();
}

void BenchRecall::startUp()
{
    // The same program started with the history and without it.
    const QString log = RecallLog::filePath(dataDir());
    const QString aside = log + QStringLiteral(".aside");
    QList<double> with, without;
    for (int run = 0; run < 5; ++run) {
        for (bool history : {true, false}) {
            if (!history)
                QFile::rename(log, aside);
            QProcess process;
            process.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--start-up")});
            QVERIFY(process.waitForFinished(120000));
            if (!history)
                QFile::rename(aside, log);
            QCOMPARE(process.exitCode(), 0);
            const QList<QByteArray> figures = process.readAllStandardOutput().trimmed().split(' ');
            QCOMPARE(figures.size(), 3);
            (history ? with : without).append(figures.at(0).toDouble());
            if (history)
                qInfo("with the history: shown %s ms, all read %s ms, longest stall %s ms",
                      figures.at(0).constData(), figures.at(1).constData(),
                      figures.at(2).constData());
        }
    }
    const auto median = [](QList<double> values) {
        std::sort(values.begin(), values.end());
        return values.at(values.size() / 2);
    };
    qInfo("start-up to the main window taking keys: %.0f ms with the history, %.0f ms without "
          "(%.2f times)",
          median(with), median(without), median(with) / median(without));
    QTest::setBenchmarkResult(median(with) / median(without), QTest::Events);
}

namespace {

// The child process of startUp(): the real program, watched until the list and the
// history are read and matched.
int startUpChild(int argc, char *argv[], const QElapsedTimer &clock)
{
    return watchStartUp(argc, argv, clock, [](qint64 shownAt, qint64 now, qint64 longestStall) {
        const RememberedNumbers *list = RememberedNumbers::instance();
        const RecallHistory *history = RecallHub::history();
        if (!list->isLoaded() || !history->isLoaded() || !history->hasEntries())
            return false;
        printf("%lld %lld %lld\n", shownAt, now, longestStall);
        fflush(stdout);
        return true;
    });
}

} // namespace

int main(int argc, char *argv[])
{
    QElapsedTimer clock;
    clock.start();
    if (argc == 2 && qstrcmp(argv[1], "--start-up") == 0)
        return startUpChild(argc, argv, clock);
    // The settings of the run, and of the programs it starts, are its own.
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    QApplication app(argc, argv);
    BenchRecall bench;
    return QTest::qExec(&bench, argc, argv);
}

#include "bench_recall.moc"
