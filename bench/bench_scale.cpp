#include "StartUpWatch.h"
#include "TestPaths.h"
#include "app/Program.h"
#include "core/AppInfo.h"
#include "practice/QuizDialog.h"
#include "practice/WordTablesWindow.h"
#include "remembered/ReviewWindow.h"
#include "remembered/RememberedFile.h"
#include "remembered/RememberedList.h"
#include "remembered/RememberedNumbers.h"
#include "settings/Registry.h"
#include "ui/MessageBox.h"
#include "ui/Windows.h"
#include "workspace/MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <QTreeWidget>

#include <algorithm>
#include <cmath>

// Lists of 1,000 to 1,000,000 generated entries (NUMBRILL_BENCH_SIZES picks others):
// loading and saving them, opening the review window (reading the list, or with the
// list read already), sorting it by a column,
// importing an export file of as many entries (half of them new), and starting the
// whole program with each list. Start-up reports the time until the main window is
// shown and has taken a key press, the longest stall of the event loop until the
// list is loaded, and the peak memory of the process.
namespace {

RememberedNumbers *numbers()
{
    return RememberedNumbers::instance();
}

// Ends the windows and the list without saving what the benchmark changed.
void forgetChanges()
{
    numbers()->drain();
    numbers()->model()->setChanged(false);
    Windows::releaseAll();
    RememberedNumbers::release();
}

} // namespace

class BenchScale : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void load_data() { sizes(); }
    void load();
    void save_data() { sizes(); }
    void save();
    void openReview_data() { sizes(); }
    void openReview();
    void showLoadedReview_data() { sizes(); }
    void showLoadedReview();
    void sortByHeader_data() { sizes(); }
    void sortByHeader();
    void import_data() { sizes(); }
    void import();
    void stalls_data();
    void stalls();
    void startUp_data();
    void startUp();

private:
    void sizes();
    void writeInstallation(int entries);
    QString installDir(int entries) const;
    ReviewWindow *openWindow(int entries);

    QList<int> m_sizes;
    QStringList m_vocabulary;
    QTemporaryDir m_home;
    QTemporaryDir m_root;
};

void BenchScale::initTestCase()
{
    qputenv("XDG_CONFIG_HOME", m_home.path().toLocal8Bit());
    MessageBox::answerInstead(true);
    Registry::SetRegValue(QLatin1String(AppInfo::settingsPath),
                          QLatin1String(AppInfo::firstTimeSetting), QStringLiteral("no"));

    const QByteArray chosen = qgetenv("NUMBRILL_BENCH_SIZES");
    for (const QByteArray &size :
         (chosen.isEmpty() ? QByteArray("1000,10000,100000,1000000") : chosen).split(','))
        m_sizes.append(size.toInt());

    QFile words(QString::fromUtf8(TestPaths::sourceDir) + QLatin1String("/data/words.txt"));
    QVERIFY(words.open(QIODevice::ReadOnly));
    m_vocabulary = QString::fromLatin1(words.readAll()).split(u'\n', Qt::SkipEmptyParts);
    QVERIFY(m_vocabulary.size() > 100000);
    for (int entries : std::as_const(m_sizes))
        writeInstallation(entries);
}

void BenchScale::cleanupTestCase()
{
    forgetChanges();
}

void BenchScale::sizes()
{
    QTest::addColumn<int>("entries");
    for (int entries : std::as_const(m_sizes))
        QTest::addRow("%d", entries) << entries;
}

QString BenchScale::installDir(int entries) const
{
    return m_root.filePath(QString::number(entries));
}

// An installation with the shipped dictionary, an rv.db of random entries in the
// order a save leaves them, and an export file of as many entries, every other one
// already in the list. An entry has a number of 2 to 16 digits, a description of one
// to three words and one to six memory words (3.5 on average), picked with a strong
// lean towards the first, most preferred words of the word list, as a user's are.
void BenchScale::writeInstallation(int entries)
{
    QRandomGenerator random(2718);
    const auto pickWord = [&] {
        const double skew = std::pow(random.generateDouble(), 3.0);
        return m_vocabulary.at(qsizetype(skew * double(m_vocabulary.size()))).toLatin1();
    };
    const auto words = [&](int count) {
        QByteArray text;
        for (int i = 0; i < count; ++i)
            text += (i > 0 ? " " : "") + pickWord();
        return text;
    };

    struct Generated
    {
        QByteArray value, description, words;
    };
    QList<Generated> list;
    list.reserve(entries);
    for (int i = 0; i < entries; ++i) {
        QByteArray value;
        for (int d = random.bounded(2, 17); d > 0; --d)
            value += char('0' + random.bounded(10));
        list.append({value, words(random.bounded(1, 4)), words(random.bounded(1, 7))});
    }
    // The words are lower-case ASCII, so this is the list's own order.
    std::stable_sort(list.begin(), list.end(), [](const Generated &a, const Generated &b) {
        return a.description < b.description;
    });

    QByteArray stored;
    QByteArray exported("\"Numbrill\"\r\n");
    for (qsizetype i = 0; i < list.size(); ++i) {
        const Generated &entry = list.at(i);
        stored += '"' + entry.value + ':' + entry.description + ": " + entry.words + "\"\r\n";
        const QByteArray value = i % 2 ? entry.value : entry.value + "0";
        exported +=
            '"' + value + "\"\r\n\"" + entry.description + "\"\r\n\"" + entry.words + "\"\r\n";
    }

    const QDir dir(installDir(entries));
    QVERIFY(dir.mkpath(QStringLiteral("data")));
    const QString shipped = QString::fromUtf8(TestPaths::buildShareDir) + QStringLiteral("/data/");
    for (const char *name : {"num1.db", "num.db"})
        QVERIFY(QFile::copy(shipped + QLatin1String(name),
                            dir.filePath(QStringLiteral("data/") + QLatin1String(name))));
    QFile file(dir.filePath(QStringLiteral("data/rv.db")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(stored), stored.size());
    QFile exportFile(dir.filePath(QStringLiteral("export.txt")));
    QVERIFY(exportFile.open(QIODevice::WriteOnly));
    QCOMPARE(exportFile.write(exported), exported.size());
    qInfo("%d entries: rv.db %lld bytes", entries, qlonglong(stored.size()));
}

void BenchScale::load()
{
    QFETCH(int, entries);
    RememberedList list;
    list.setDataDir(installDir(entries) + QStringLiteral("/data"));
    QBENCHMARK
    {
        list.readnumbers();
    }
    QCOMPARE(list.entryCount(), entries);
}

void BenchScale::save()
{
    QFETCH(int, entries);
    RememberedList list;
    list.setDataDir(installDir(entries) + QStringLiteral("/data"));
    list.readnumbers();
    QBENCHMARK
    {
        list.setChanged(true);
        QVERIFY(list.SaveNumbers());
    }
}

ReviewWindow *BenchScale::openWindow(int entries)
{
    forgetChanges();
    Registry::SetRegValue(QLatin1String(AppInfo::settingsPath),
                          QLatin1String(AppInfo::installDirSetting), installDir(entries));
    ReviewWindow *window = Windows::instance<ReviewWindow>();
    window->load();
    numbers()->drain();
    window->show();
    return window;
}

void BenchScale::openReview()
{
    QFETCH(int, entries);
    openWindow(entries)->unload();
    numbers()->drain();
    QBENCHMARK
    {
        ReviewWindow *window = Windows::instance<ReviewWindow>();
        window->load();
        numbers()->drain();
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        window->unload();
        numbers()->drain();
    }
}

// Review with the list read at start-up already: only the window comes up.
void BenchScale::showLoadedReview()
{
    QFETCH(int, entries);
    openWindow(entries);
    Windows::releaseAll();
    ReviewWindow *window = Windows::instance<ReviewWindow>();
    window->load();
    numbers()->drain();
    QBENCHMARK_ONCE
    {
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
    }
}

void BenchScale::sortByHeader()
{
    QFETCH(int, entries);
    ReviewWindow *window = openWindow(entries);
    QHeaderView *header = window->findChild<QTreeView *>(QStringLiteral("ListView1"))->header();
    int column = 0;
    QBENCHMARK
    {
        column = column == 0 ? 2 : 0;
        Q_EMIT header->sectionClicked(column);
        numbers()->drain();
        QCoreApplication::processEvents();
    }
    QCOMPARE(numbers()->model()->sortColumn(), column);
}

void BenchScale::import()
{
    QFETCH(int, entries);
    openWindow(entries);
    // The import saves the grown list; the other benchmarks want the list as it was.
    const QString file = RememberedFile::filePath(numbers()->model()->dataDir());
    QFile::remove(file + QStringLiteral(".kept"));
    QVERIFY(QFile::copy(file, file + QStringLiteral(".kept")));
    QBENCHMARK_ONCE
    {
        numbers()->importFile(installDir(entries) + QStringLiteral("/export.txt"));
        numbers()->drain();
    }
    QCOMPARE(numbers()->entryCount(), entries + entries / 2);
    QCOMPARE(numbers()->changed(), false);
    forgetChanges();
    QVERIFY(QFile::remove(file));
    QVERIFY(QFile::rename(file + QStringLiteral(".kept"), file));
}

void BenchScale::stalls_data()
{
    QTest::addColumn<int>("entries");
    QTest::addColumn<QString>("action");
    for (int entries : std::as_const(m_sizes)) {
        for (const char *action :
             {"sort", "store", "store after closing", "forget", "search", "export", "flash cards",
              "import", "reopen", "quiz", "peg words", "most used", "most used by word"})
            QTest::addRow("%d %s", entries, action) << entries << QString::fromLatin1(action);
    }
}

// The longest time the event loop of the review window stands still while a user
// does one thing with a long list, from the click until the list is idle again.
void BenchScale::stalls()
{
    QFETCH(int, entries);
    QFETCH(QString, action);
    ReviewWindow *window = openWindow(entries);
    const QString file = RememberedFile::filePath(numbers()->model()->dataDir());
    QFile::remove(file + QStringLiteral(".kept"));
    QVERIFY(QFile::copy(file, file + QStringLiteral(".kept")));
    auto *view = window->findChild<QTreeView *>(QStringLiteral("ListView1"));
    const QString out = m_root.filePath(QStringLiteral("out.txt"));

    const QHash<QString, std::function<void()>> actions{
        {QStringLiteral("sort"), [&] { Q_EMIT view->header()->sectionClicked(2); }},
        {QStringLiteral("store"),
         [&] {
             numbers()->store({{}, QStringLiteral("bench"), QStringLiteral(" tin me")});
         }},
        {QStringLiteral("store after closing"),
         [&] {
             window->close();
             numbers()->store({{}, QStringLiteral("bench"), QStringLiteral(" tin me")});
         }},
        {QStringLiteral("forget"),
         [&] {
             view->setCurrentIndex(numbers()->model()->index(entries / 2, 0));
             window->findChild<QPushButton *>(QStringLiteral("Command1"))->click();
         }},
        {QStringLiteral("search"),
         [&] {
             window->findChild<QLineEdit *>(QStringLiteral("Text1"))
                 ->setText(QStringLiteral("no such text"));
         }},
        {QStringLiteral("export"), [&] { numbers()->exportFile(out); }},
        {QStringLiteral("flash cards"), [&] { numbers()->writeFlashCards(out); }},
        {QStringLiteral("import"),
         [&] { numbers()->importFile(installDir(entries) + QStringLiteral("/export.txt")); }},
        {QStringLiteral("reopen"),
         [&] {
             window->close();
             Windows::instance<MainWindow>()->findChild<QAction *>(QStringLiteral("Review"))->trigger();
         }},
        {QStringLiteral("peg words"), [] { Windows::instance<WordTablesWindow>()->Populate(); }},
        {QStringLiteral("most used"), [] { Windows::instance<WordTablesWindow>()->PopulateMost(); }},
        {QStringLiteral("most used by word"),
         [] {
             WordTablesWindow *table = Windows::instance<WordTablesWindow>();
             table->PopulateMost();
             QVERIFY(QTest::qWaitFor([table] { return !table->isBusy(); }));
             Q_EMIT table->findChild<QTreeWidget *>()->header()->sectionClicked(2);
         }},
        {QStringLiteral("quiz"),
         [&] {
             window->unload();
             QuizDialog *quiz = Windows::instance<QuizDialog>();
             quiz->show();
         }},
    };

    if (action == u"reopen")
        Windows::instance<MainWindow>();

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
    bool done = false;
    clock.start();
    ticker.start();
    QTimer::singleShot(0, this, [&] {
        actions.value(action)();
        done = true;
    });
    const auto idle = [&] {
        const WordTablesWindow *table = Windows::existing<WordTablesWindow>();
        return done && !numbers()->isBusy() && !(table && table->isBusy()) &&
               (numbers()->isLoaded() || !window->isVisible());
    };
    QVERIFY(QTest::qWaitFor(idle, 120000));
    const qint64 finished = clock.elapsed();
    QTest::qWait(20);
    qInfo("%d entries, %s: longest stall %lld ms, done after %lld ms", entries, qPrintable(action),
          qlonglong(longestStall), qlonglong(finished));
    QTest::setBenchmarkResult(double(longestStall), QTest::WalltimeMilliseconds);

    if (QuizDialog *quiz = Windows::existing<QuizDialog>())
        quiz->close();
    forgetChanges();
    QVERIFY(QFile::remove(file));
    QVERIFY(QFile::rename(file + QStringLiteral(".kept"), file));
    QFile::remove(RememberedFile::workingCopyPath(installDir(entries) + QStringLiteral("/data")));
}

void BenchScale::startUp_data()
{
    QTest::addColumn<int>("entries");
    QTest::newRow("empty list") << 0;
    for (int entries : std::as_const(m_sizes))
        QTest::addRow("%d", entries) << entries;
}

void BenchScale::startUp()
{
    QFETCH(int, entries);
    const QString dir = entries > 0 ? installDir(entries) : m_root.filePath(QStringLiteral("0"));
    QDir(dir).mkpath(QStringLiteral("data"));
    if (entries == 0) {
        const QString shipped =
            QString::fromUtf8(TestPaths::buildShareDir) + QStringLiteral("/data/");
        for (const char *name : {"num1.db", "num.db"})
            QFile::copy(shipped + QLatin1String(name),
                        dir + QStringLiteral("/data/") + QLatin1String(name));
    }
    Registry::SetRegValue(QLatin1String(AppInfo::settingsPath),
                          QLatin1String(AppInfo::installDirSetting), dir);
    Registry::SetRegValue(QLatin1String(AppInfo::settingsPath),
                          QLatin1String(AppInfo::firstTimeSetting), QStringLiteral("no"));

    QList<double> shown, stall, memory;
    for (int run = 0; run < 5; ++run) {
        QProcess process;
        process.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--start-up")});
        QVERIFY(process.waitForFinished(120000));
        QCOMPARE(process.exitCode(), 0);
        const QList<QByteArray> figures = process.readAllStandardOutput().trimmed().split(' ');
        QCOMPARE(figures.size(), 3);
        shown.append(figures.at(0).toDouble());
        stall.append(figures.at(1).toDouble());
        memory.append(figures.at(2).toDouble());
    }
    const auto median = [](QList<double> values) {
        std::sort(values.begin(), values.end());
        return values.at(values.size() / 2);
    };
    qInfo("start-up %d entries: window shown and key taken %.0f ms, longest stall %.0f ms, "
          "peak memory %.1f MB",
          entries, median(shown), median(stall), median(memory) / 1024.0);
    QTest::setBenchmarkResult(median(shown), QTest::WalltimeMilliseconds);
}

namespace {

double peakMemoryKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toDouble();
    }
    return 0;
}

// The child process of startUp(): the real program, watched until the list is read.
int startUpChild(int argc, char *argv[], const QElapsedTimer &clock)
{
    return watchStartUp(argc, argv, clock, [](qint64 shownAt, qint64 now, qint64 longestStall) {
        if (!RememberedNumbers::instance()->isLoaded() || now - shownAt <= 300)
            return false;
        printf("%lld %lld %.0f\n", shownAt, longestStall, peakMemoryKb());
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
    QApplication app(argc, argv);
    BenchScale bench;
    return QTest::qExec(&bench, argc, argv);
}

#include "bench_scale.moc"
