#include "core/AppInfo.h"
#include "drills/DrillHistory.h"
#include "drills/DrillHub.h"
#include "drills/DrillLog.h"
#include "drills/FlashDrillWindow.h"
#include "drills/ImagesDrillWindow.h"
#include "drills/SpeedNumbersWindow.h"
#include "recall/RecallHub.h"
#include "remembered/ReviewWindow.h"
#include "settings/Registry.h"
#include "ui/MessageBox.h"
#include "ui/Windows.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSpinBox>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

// One step of each drill, as the user takes it, with 1,110 image keys and 100,000
// results in the drill history (NUMBRILL_BENCH_RESULTS picks another count): in the
// Images drill an answer typed, judged, written and synced, its lists refreshed and the
// next key shown; in Flash an answer written and the next number shown; in Speed
// Numbers a digit typed into a grid of 1,000, and the grid scored. Prints the median
// and the longest of each, in milliseconds.
class BenchDrills : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void steps();

private:
    QString dataDir() const { return m_root.filePath(QStringLiteral("data")); }
    static void report(const char *what, QList<qint64> nanoseconds);

    QTemporaryDir m_root;
    QTemporaryDir m_config;
    DrillImages m_images;
    int m_results = 100000;
};

void BenchDrills::report(const char *what, QList<qint64> nanoseconds)
{
    std::sort(nanoseconds.begin(), nanoseconds.end());
    qInfo("%s: median %.2f ms, longest %.2f ms (%lld steps)", what,
          double(nanoseconds.at(nanoseconds.size() / 2)) / 1e6, double(nanoseconds.last()) / 1e6,
          static_cast<long long>(nanoseconds.size()));
}

void BenchDrills::initTestCase()
{
    if (const int results = qEnvironmentVariableIntValue("NUMBRILL_BENCH_RESULTS"))
        m_results = results;
    // The settings of this run only.
    qputenv("XDG_CONFIG_HOME", m_config.path().toLocal8Bit());
    MessageBox::answerInstead(true);
    QDir(m_root.path()).mkpath(QStringLiteral("data"));
    QFile rv(dataDir() + QStringLiteral("/rv.db"));
    QVERIFY(rv.open(QIODevice::WriteOnly));
    rv.close();
    Registry::SetRegValue(QLatin1String(AppInfo::settingsPath),
                          QLatin1String(AppInfo::installDirSetting), m_root.path());
    Registry::SetRegValue(QLatin1String(AppInfo::settingsPath),
                          QLatin1String(AppInfo::firstTimeSetting), QStringLiteral("no"));

    QStringList keys;
    for (int digits = 1; digits <= 3; ++digits) {
        int count = 1;
        for (int i = 0; i < digits; ++i)
            count *= 10;
        for (int n = 0; n < count; ++n)
            keys.append(QStringLiteral("%1").arg(n, digits, 10, QLatin1Char('0')));
    }
    for (const QString &key : std::as_const(keys))
        m_images.byKey.insert(key, QStringLiteral("image") + key);
    m_images.threeDigits = true;
    DrillHub::setImageSource([this] { return m_images; });

    // A year of drills, one answer in eight wrong, a speed-numbers attempt in fifty.
    QRandomGenerator random(27182);
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    QByteArray log;
    for (int i = 0; i < m_results; ++i) {
        DrillLog::Result result;
        result.time = now - 365 * Fsrs::day + qint64(i) * (365 * Fsrs::day / m_results);
        const int kind = random.bounded(50);
        result.drill = kind == 0   ? DrillLog::Drill::Speed
                       : kind < 25 ? DrillLog::Drill::Images
                                   : DrillLog::Drill::Flash;
        result.right = random.bounded(8) != 0;
        result.grade = DrillHistory::gradeFor(result.right, random.bounded(500, 6000));
        result.key = keys.at(random.bounded(int(keys.size())));
        result.milliseconds = random.bounded(500, 6000);
        result.allowed = result.drill == DrillLog::Drill::Speed ? 300000 : 1000;
        result.rowLength = 40;
        result.digits = 400;
        result.score = random.bounded(400);
        log += DrillLog::line(result);
    }
    QFile file(DrillLog::filePath(dataDir()));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(log);
    file.close();

    Windows::instance<ReviewWindow>()->load();
    QElapsedTimer clock;
    clock.start();
    DrillHub::history();
    qInfo("%d results (%.1f MB of history) read and scheduled: %lld ms", m_results,
          double(log.size()) / 1e6, clock.elapsed());
}

void BenchDrills::steps()
{
    QElapsedTimer clock;
    {
        auto *window = Windows::instance<ImagesDrillWindow>();
        window->findChild<QComboBox *>(QStringLiteral("digitsCombo"))->setCurrentIndex(2);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        auto *answer = window->findChild<QLineEdit *>(QStringLiteral("answerEdit"));
        auto *key = window->findChild<QLabel *>(QStringLiteral("keyLabel"));
        QList<qint64> times;
        for (int i = 0; i < 100; ++i) {
            const QString image = QStringLiteral("image") + key->text();
            clock.start();
            QTest::keyClicks(answer, image);
            QTest::keyClick(answer, Qt::Key_Return);
            QTest::keyClick(answer, Qt::Key_Return);
            times.append(clock.nsecsElapsed());
        }
        report("Images drill: an answer typed, judged, written, the next key shown", times);
        window->close();
    }
    {
        auto *window = Windows::instance<FlashDrillWindow>();
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        QTest::mouseClick(window->findChild<QPushButton *>(QStringLiteral("startButton")),
                          Qt::LeftButton);
        auto *answer = window->findChild<QLineEdit *>(QStringLiteral("answerEdit"));
        QList<qint64> times;
        for (int i = 0; i < 100; ++i) {
            clock.start();
            QTest::keyClicks(answer, QStringLiteral("image"));
            QTest::keyClick(answer, Qt::Key_Return);
            times.append(clock.nsecsElapsed());
        }
        report("Flash: an answer typed, written, the next number shown", times);
        window->close();
    }
    {
        auto *window = Windows::instance<SpeedNumbersWindow>();
        window->findChild<QSpinBox *>(QStringLiteral("rowsSpin"))->setValue(25);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        QTest::mouseClick(window->findChild<QPushButton *>(QStringLiteral("startButton")),
                          Qt::LeftButton);
        auto *done = window->findChild<QPushButton *>(QStringLiteral("doneButton"));
        QTest::mouseClick(done, Qt::LeftButton);
        auto *grid = window->findChild<QTableWidget *>(QStringLiteral("digitGrid"));
        QList<qint64> times;
        for (int i = 0; i < 990; ++i) {
            clock.start();
            QTest::keyClick(grid, char('0' + i % 10));
            QCoreApplication::processEvents();
            times.append(clock.nsecsElapsed());
        }
        report("Speed Numbers: a digit typed into a grid of 1,000", times);
        clock.start();
        QTest::mouseClick(done, Qt::LeftButton);
        QCoreApplication::processEvents();
        report("Speed Numbers: 1,000 digits scored, written and marked", {clock.nsecsElapsed()});
    }
    Windows::releaseAll();
}

QTEST_MAIN(BenchDrills)
#include "bench_drills.moc"
