#include "recall/Fsrs.h"
#include "recall/RecallHistory.h"
#include "recall/RecallLog.h"
#include "recall/RecallStatistics.h"

#include <QDateTime>
#include <QFile>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

const qint64 start = QDateTime(QDate(2022, 11, 29), QTime(12, 30), Qt::UTC).toMSecsSinceEpoch();

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

} // namespace

// The memory model against its published reference figures, and the recall history
// file as a kill, a hand edit or a damaged disk leaves it.
class TestRecall : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void referenceIntervals();
    void referenceMemory();
    void log_data();
    void log();
    void times_data();
    void times();
    void appendsSurviveReload();
    void longHistoryInParts();
    void statistics_data();
    void statistics();
};

void TestRecall::referenceIntervals()
{
    using G = Fsrs::Grade;
    Fsrs fsrs;
    fsrs.setFuzz(false);
    const G grades[] = {G::Good,  G::Good, G::Good, G::Good, G::Good, G::Good, G::Again,
                        G::Again, G::Good, G::Good, G::Good, G::Good, G::Good};
    QList<qint64> intervals;
    Fsrs::Memory memory;
    qint64 now = start;
    for (G grade : grades) {
        // The grade buttons offer longer intervals from Again to Easy, at every step.
        qint64 shorter = -1;
        for (G offered : {G::Again, G::Hard, G::Good, G::Easy}) {
            const Fsrs::Memory after = fsrs.review(memory, offered, now);
            QVERIFY(after.due - now > shorter);
            shorter = after.due - now;
        }
        memory = fsrs.review(memory, grade, now);
        intervals.append((memory.due - memory.lastReview) / Fsrs::day);
        now = memory.due;
    }
    QCOMPARE(intervals, (QList<qint64>{0, 2, 11, 46, 163, 498, 0, 0, 2, 4, 7, 12, 21}));
}

void TestRecall::referenceMemory()
{
    using G = Fsrs::Grade;
    Fsrs fsrs;
    fsrs.setFuzz(false);
    const std::pair<G, int> reviews[] = {{G::Again, 0}, {G::Good, 0}, {G::Good, 1},
                                         {G::Good, 3},  {G::Good, 8}, {G::Good, 21}};
    Fsrs::Memory memory;
    qint64 now = start;
    for (const auto &[grade, days] : reviews) {
        now += days * Fsrs::day;
        memory = fsrs.review(memory, grade, now);
    }
    QVERIFY2(qAbs(memory.stability - 53.62691) < 1e-4,
             qPrintable(QString::number(memory.stability, 'g', 10)));
    QVERIFY2(qAbs(memory.difficulty - 6.3574867) < 1e-4,
             qPrintable(QString::number(memory.difficulty, 'g', 10)));
}

void TestRecall::log_data()
{
    QTest::addColumn<QByteArray>("file");
    // What loads, one answer a word: "grade/right/number/description".
    QTest::addColumn<QStringList>("answers");
    QTest::addColumn<QList<qsizetype>>("badLines");
    // What the file holds afterwards.
    QTest::addColumn<QByteArray>("after");

    const QByteArray a = "\"20261207T101500Z:good:5230:right:314:pi start\"\r\n";
    const QByteArray b = "\"20261208T090000Z:again:800:wrong:2718:e: the base\"\r\n";
    QTest::newRow("whole") << a + b
                           << QStringList{"good/1/314/pi start", "again/0/2718/e: the base"}
                           << QList<qsizetype>{} << a + b;
    QTest::newRow("torn last line cut off")
        << a + b.left(20) << QStringList{"good/1/314/pi start"} << QList<qsizetype>{} << a;
    QTest::newRow("torn without its line end")
        << a + b.chopped(2) << QStringList{"good/1/314/pi start"} << QList<qsizetype>{} << a;
    QTest::newRow("other line ends, empty lines")
        << a.chopped(2) + "\n\n" + b.chopped(2) + "\r"
        << QStringList{"good/1/314/pi start", "again/0/2718/e: the base"} << QList<qsizetype>{}
        << a.chopped(2) + "\n\n" + b.chopped(2) + "\r";
    const QByteArray bad = "\"20261307T101500Z:good:5230:right:314:pi\"\r\n"
                           "\"20261207T101500Z:fine:5230:right:314:pi\"\r\n"
                           "20261207T101500Z:good:5230:right:314:pi\r\n"
                           "\"20261207T101500Z:good:-1:right:314:pi\"\r\n"
                           "\"20261207T101500Z:good:1:maybe:314:pi\"\r\n"
                           "\"20261207T101500Z:good:1:right:314\"\r\n";
    QTest::newRow("unreadable lines kept")
        << a + bad + b << QStringList{"good/1/314/pi start", "again/0/2718/e: the base"}
        << QList<qsizetype>{2, 3, 4, 5, 6, 7} << a + bad + b;
    QTest::newRow("numbers met again further on")
        << b + a + bad.first(43) + a + "\r\n" + b + a
        << QStringList{"again/0/2718/e: the base", "good/1/314/pi start", "good/1/314/pi start",
                       "again/0/2718/e: the base", "good/1/314/pi start"}
        << QList<qsizetype>{3} << b + a + bad.first(43) + a + "\r\n" + b + a;
}

void TestRecall::log()
{
    QFETCH(QByteArray, file);
    QFETCH(QStringList, answers);
    QFETCH(QList<qsizetype>, badLines);
    QFETCH(QByteArray, after);

    QTemporaryDir dir;
    writeAll(RecallLog::filePath(dir.path()), file);
    const RecallLog::LoadResult loaded = RecallLog::load(dir.path());
    QList<RecallLog::Answer> read;
    for (qsizetype i = 0; i < loaded.records.size(); ++i)
        read.append(loaded.answer(i));
    QStringList got;
    static const char *names[] = {"", "again", "hard", "good", "easy"};
    for (const RecallLog::Answer &answer : read)
        got.append(QStringLiteral("%1/%2/%3/%4")
                       .arg(QLatin1String(names[int(answer.grade)]))
                       .arg(answer.right)
                       .arg(answer.number, answer.description));
    QCOMPARE(got, answers);
    QCOMPARE(loaded.badLines, badLines);
    QCOMPARE(readAll(RecallLog::filePath(dir.path())), after);

    // Every answer read is written back as it was.
    for (const RecallLog::Answer &answer : read)
        QCOMPARE(RecallLog::parse(RecallLog::line(answer)).answers,
                 QList<RecallLog::Answer>{answer});

    // Read in pieces side by side, the file gives the same history, keys in the same
    // order.
    const RecallLog::History whole = RecallLog::read(file, 1);
    for (int pieces = 2; pieces <= 5; ++pieces) {
        const RecallLog::History inPieces = RecallLog::read(file, pieces);
        QCOMPARE(inPieces.keys, whole.keys);
        QCOMPARE(inPieces.records.size(), whole.records.size());
        for (qsizetype i = 0; i < whole.records.size(); ++i)
            QCOMPARE(inPieces.answer(i), whole.answer(i));
        QCOMPARE(inPieces.badLines, whole.badLines);
        QCOMPARE(inPieces.wholeLength, whole.wholeLength);
    }
}

void TestRecall::times_data()
{
    // The time of an answer as a line holds it; the time read, or none when the line
    // cannot be read.
    QTest::addColumn<QByteArray>("time");
    QTest::addColumn<QDateTime>("read");

    const auto at = [](int y, int mo, int d, int h, int mi, int s) {
        return QDateTime(QDate(y, mo, d), QTime(h, mi, s), Qt::UTC);
    };
    QTest::newRow("start of 1970") << QByteArray("19700101T000000Z") << at(1970, 1, 1, 0, 0, 0);
    QTest::newRow("last second") << QByteArray("99991231T235959Z") << at(9999, 12, 31, 23, 59, 59);
    QTest::newRow("leap day") << QByteArray("20240229T120000Z") << at(2024, 2, 29, 12, 0, 0);
    QTest::newRow("leap day of 2000") << QByteArray("20000229T010203Z") << at(2000, 2, 29, 1, 2, 3);
    QTest::newRow("end of a 31-day month")
        << QByteArray("20261031T235959Z") << at(2026, 10, 31, 23, 59, 59);
    QTest::newRow("no leap day in 2023") << QByteArray("20230229T120000Z") << QDateTime();
    QTest::newRow("no leap day in 2100") << QByteArray("21000229T120000Z") << QDateTime();
    QTest::newRow("31 April") << QByteArray("20260431T120000Z") << QDateTime();
    QTest::newRow("day 0") << QByteArray("20260100T120000Z") << QDateTime();
    QTest::newRow("month 0") << QByteArray("20260001T120000Z") << QDateTime();
    QTest::newRow("before 1970") << QByteArray("19691231T235959Z") << QDateTime();
    QTest::newRow("hour 24") << QByteArray("20261207T240000Z") << QDateTime();
    QTest::newRow("minute 60") << QByteArray("20261207T106000Z") << QDateTime();
    QTest::newRow("second 60") << QByteArray("20261207T101560Z") << QDateTime();
    QTest::newRow("letter in the year") << QByteArray("2O261207T101500Z") << QDateTime();
    QTest::newRow("sign in the day") << QByteArray("202612+7T101500Z") << QDateTime();
    QTest::newRow("blank in the seconds") << QByteArray("20261207T1015 0Z") << QDateTime();
    QTest::newRow("high byte in the hour") << QByteArray("20261207T\xb9"
                                                         "01500Z")
                                           << QDateTime();
    QTest::newRow("no T") << QByteArray("20261207 101500Z") << QDateTime();
    QTest::newRow("no Z") << QByteArray("20261207T101500") << QDateTime();
    QTest::newRow("a digit more") << QByteArray("202612070T101500Z") << QDateTime();
    QTest::newRow("colon inside") << QByteArray("20261207T10:500Z") << QDateTime();
}

void TestRecall::times()
{
    QFETCH(QByteArray, time);
    QFETCH(QDateTime, read);

    const RecallLog::ParseResult parsed =
        RecallLog::parse('"' + time + ":good:5230:right:314:pi start\"\r\n");
    QCOMPARE(parsed.badLines.size(), read.isValid() ? 0 : 1);
    if (read.isValid()) {
        QCOMPARE(parsed.answers.size(), 1);
        QCOMPARE(parsed.answers.at(0).time, read.toMSecsSinceEpoch());
        QCOMPARE(parsed.answers.at(0).number, QStringLiteral("314"));
    }
}

void TestRecall::longHistoryInParts()
{
    // A history long enough to be read in pieces and replayed by several threads gives
    // every number the memory its answers give it one after the other.
    QRandomGenerator random(2718);
    QList<RecallLog::Answer> answers;
    QByteArray bytes;
    for (int i = 0; i < 120000; ++i) {
        RecallLog::Answer answer;
        answer.time = start + qint64(i) * 60000;
        answer.right = random.bounded(8) != 0;
        answer.grade = answer.right ? Fsrs::Grade::Good : Fsrs::Grade::Again;
        answer.milliseconds = 1500;
        answer.number = QString::number(random.bounded(300));
        answer.description = QStringLiteral("number ") + answer.number;
        bytes += RecallLog::line(answer);
        answers.append(RecallLog::normalised(answer));
    }
    QTemporaryDir dir;
    writeAll(RecallLog::filePath(dir.path()), bytes);
    RecallHistory history;
    history.startLoading(dir.path());
    history.settle();
    QList<RecallEntry> entries;
    for (int n = 0; n < 300; ++n)
        entries.append({QString::number(n), QStringLiteral("number %1").arg(n), "tin"});
    history.setEntries(entries);
    history.settle();

    QHash<QString, Fsrs::Memory> memory;
    QHash<QString, int> reviews;
    for (const RecallLog::Answer &answer : std::as_const(answers)) {
        const size_t hash =
            RecallHistory::keyHash(RecallHistory::keyOf(answer.number, answer.description));
        Fsrs::Memory &mine = memory[answer.number];
        mine = history.model().review(mine, answer.grade, answer.time,
                                      RecallHistory::seedOf(hash, answer.time));
        ++reviews[answer.number];
    }
    QCOMPARE(history.items().size(), 300);
    for (const RecallItem &item : history.items()) {
        const Fsrs::Memory &expected = memory.value(item.entry.number);
        QCOMPARE(item.reviews, reviews.value(item.entry.number));
        QCOMPARE(item.memory.due, expected.due);
        QCOMPARE(item.memory.stability, expected.stability);
    }
}

void TestRecall::appendsSurviveReload()
{
    // Answers given, then a kill mid-append, then the program started again: every
    // answer given before the kill is in the schedule, and the next one is too.
    QTemporaryDir dir;
    RecallHistory history;
    history.setFuzz(false);
    qint64 now = start;
    history.setClock([&now] { return now; });
    history.startLoading(dir.path());
    history.settle();
    history.setEntries({{"314", "pi: start", "meter"}, {"27", "e", "ink"}});
    history.settle();
    QCOMPARE(history.dueCount(now), 2);

    RecallLog::Answer answer;
    answer.number = "314";
    answer.description = "pi: start";
    for (Fsrs::Grade grade : {Fsrs::Grade::Good, Fsrs::Grade::Good}) {
        answer.time = now;
        answer.grade = grade;
        answer.right = true;
        QVERIFY(history.record(answer));
        now = history.items().at(history.indexOf("314", "pi: start")).memory.due;
    }
    QCOMPARE(history.dueCount(now), 2);
    QFile log(RecallLog::filePath(dir.path()));
    QVERIFY(log.open(QIODevice::Append));
    log.write("\"20221201T1");
    log.close();

    RecallHistory again;
    again.setFuzz(false);
    again.setClock([&now] { return now; });
    // Read at start-up only once asked for; the entries given before are matched after.
    again.loadLater(dir.path());
    // The same number stored twice, with other words, is one number to recall.
    again.setEntries(
        {{"314", "pi: start", "meter"}, {"27", "e", "ink"}, {"314", "pi: start", "mother"}});
    QVERIFY(!again.isLoaded());
    again.settle();
    QVERIFY(again.loadProblem().isEmpty());
    QCOMPARE(again.items().size(), 2);
    const RecallItem &item = again.items().at(again.indexOf("314", "pi: start"));
    QCOMPARE(item.reviews, 2);
    QCOMPARE(item.memory.phase, Fsrs::Phase::Review);
    QCOMPARE((item.memory.due - item.memory.lastReview) / Fsrs::day, 2);
    answer.time = now;
    QVERIFY(again.record(answer));
    QCOMPARE(RecallLog::parse(readAll(RecallLog::filePath(dir.path()))).answers.size(), 3);
    // Forgotten numbers leave the schedule, their lines stay.
    again.setEntries({{"27", "e", "ink"}});
    again.settle();
    QCOMPARE(again.indexOf("314", "pi: start"), -1);
    QCOMPARE(again.dueCount(now), 1);
}

void TestRecall::statistics_data()
{
    // pi is learnt on day 0 (Good, and Good ten minutes later: due two days on) and
    // answered again `late` days after it fell due, right or not; the plots are looked
    // at a day after that. e was stored and never answered.
    QTest::addColumn<int>("late");
    QTest::addColumn<bool>("recalled");
    // Days of the plots (29 is today) with their values, where not 0.
    QTest::addColumn<QString>("right");
    QTest::addColumn<QString>("wrong");
    QTest::addColumn<QString>("due");
    QTest::addColumn<QString>("digits");
    QTest::addColumn<double>("retention");
    QTest::addColumn<int>("streak");
    QTest::newRow("on time") << 0 << true << "26:2 28:1"
                             << ""
                             << "0:1 10:1"
                             << "26:3 27:3 28:3 29:3" << 1.0 << 3;
    // Due again ten minutes after the lapse, and not answered since.
    QTest::newRow("forgotten") << 0 << false << "26:2"
                               << "28:1"
                               << "0:2"
                               << "26:3 27:3 28:3" << 0.0 << 0;
    QTest::newRow("two days late") << 2 << true << "24:2 28:1"
                                   << ""
                                   << ""
                                   << "" << 1.0 << 1;
}

void TestRecall::statistics()
{
    QFETCH(int, late);
    QFETCH(bool, recalled);
    QFETCH(QString, right);
    QFETCH(QString, wrong);
    QFETCH(QString, due);
    QFETCH(QString, digits);
    QFETCH(double, retention);
    QFETCH(int, streak);

    using G = Fsrs::Grade;
    const qint64 learnt = start + 10 * Fsrs::minute;
    RecallLog::History log;
    log.append({start, G::Good, 900, true, "314", "pi"});
    log.append({learnt, G::Good, 900, true, "314", "pi"});
    log.append({learnt + (2 + late) * Fsrs::day, recalled ? G::Good : G::Again, 900, recalled,
                "314", "pi"});
    Fsrs model;
    model.setFuzz(false);
    QList<RecallItem> items(2);
    items[0].entry = {"314", "pi", "meter"};
    for (const RecallLog::Record &record : log.records)
        items[0].memory = model.review(items[0].memory, record.grade, record.time);
    items[1].entry = {"27", "e", "ink"};
    const qint64 now = log.records.last().time + Fsrs::day;

    const RecallStatistics::Figures f = RecallStatistics::compute(model, log, items, now, 0);
    auto shown = [](const auto &values) {
        QStringList nonZero;
        for (qsizetype i = 0; i < values.size(); ++i) {
            if (values.at(i) != 0)
                nonZero.append(QStringLiteral("%1:%2").arg(i).arg(values.at(i)));
        }
        return nonZero.join(u' ');
    };
    QCOMPARE(shown(f.right), right);
    QCOMPARE(shown(f.wrong), wrong);
    if (!due.isEmpty()) {
        QCOMPARE(shown(f.due), due);
        QCOMPARE(shown(f.digitsHeld), digits);
    }
    // Only the last answer was past learning: this week's share is its own.
    QCOMPARE(f.retention.last(), retention);
    QCOMPARE(f.retention.count(-1.0), RecallStatistics::weeks - 1);
    QCOMPARE(f.streak, streak);
}

QTEST_GUILESS_MAIN(TestRecall)
#include "tst_recall.moc"
