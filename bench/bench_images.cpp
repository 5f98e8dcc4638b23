#include "TestPaths.h"
#include "core/AppInfo.h"
#include "images/ImageList.h"
#include "images/MyImagesWindow.h"
#include "remembered/ReviewWindow.h"
#include "settings/Registry.h"
#include "ui/MessageBox.h"
#include "ui/Windows.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

// My Images with the shipped dictionary and ranks and a list of 10,000 remembered
// numbers: opening the window on an image list of all 1,110 keys, with the three-digit
// keys shown, until its table is drawn; the first opening, which fills every key from
// the dictionary and saves the list; and one edit, saved at once.
class BenchImages : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase() { Windows::releaseAll(); }
    void openAllKeys();
    void firstOpening();
    void oneEdit();

private:
    // Opens a new window and returns the milliseconds until its table is drawn.
    double openOnce();
    static void report(const char *what, QList<double> times);

    QTemporaryDir m_home;
    QTemporaryDir m_install;
    QString m_dataDir;
};

void BenchImages::initTestCase()
{
    // Never the user's own settings.
    qputenv("XDG_CONFIG_HOME", m_home.path().toLocal8Bit());
    MessageBox::answerInstead(true);
    QDir(m_install.path()).mkpath(QStringLiteral("data"));
    m_dataDir = m_install.filePath(QStringLiteral("data"));
    const QString shipped = QString::fromUtf8(TestPaths::buildShareDir) + QStringLiteral("/data/");
    for (const char *name : {"num1.db", "num.db", "ranks.db"})
        QVERIFY(QFile::copy(shipped + QLatin1String(name), m_dataDir + u'/' + QLatin1String(name)));
    QFile list(m_dataDir + QStringLiteral("/rv.db"));
    QVERIFY(list.open(QIODevice::WriteOnly));
    const char *words[] = {"meter", "tin", "ham", "ray", "lake", "gem", "cave", "fife", "pie"};
    for (int i = 0; i < 10000; ++i)
        list.write(QStringLiteral("\"%1:number %2:%3 %4\"\r\n")
                       .arg(i * 7919)
                       .arg(i)
                       .arg(QLatin1String(words[i % 9]), QLatin1String(words[(i / 9) % 9]))
                       .toLatin1());
    list.close();
    Registry::SetRegValue(QLatin1String(AppInfo::settingsPath),
                          QLatin1String(AppInfo::installDirSetting), m_install.path());
    Registry::SetRegValue(QLatin1String(AppInfo::settingsPath),
                          QLatin1String(AppInfo::firstTimeSetting), QStringLiteral("no"));
    Windows::instance<ReviewWindow>()->load();
}

double BenchImages::openOnce()
{
    delete Windows::existing<MyImagesWindow>();
    QElapsedTimer timer;
    timer.start();
    MyImagesWindow *window = Windows::instance<MyImagesWindow>();
    window->open();
    window->findChild<QTableView *>()->viewport()->repaint();
    QApplication::processEvents();
    const double ms = double(timer.nsecsElapsed()) / 1e6;
    window->close();
    return ms;
}

void BenchImages::report(const char *what, QList<double> times)
{
    std::sort(times.begin(), times.end());
    qInfo("%s: median %.1f ms, fastest %.1f ms, slowest %.1f ms (%lld runs)", what,
          times.at(times.size() / 2), times.first(), times.last(), qlonglong(times.size()));
}

void BenchImages::openAllKeys()
{
    ImageList images;
    images.setThreeDigitKeysShown(true);
    for (int digits = 1; digits <= 3; ++digits) {
        for (const QString &key : ImageList::keys(digits))
            images.setImage(key, QStringLiteral("image") + key);
    }
    QVERIFY(images.save(m_dataDir));
    QList<double> times;
    for (int run = 0; run < 15; ++run)
        times.append(openOnce());
    QCOMPARE(Windows::existing<MyImagesWindow>()->findChild<QTableView *>()->model()->rowCount(),
             ImageList::keyCount);
    report("open with 1,110 keys", times);
}

void BenchImages::firstOpening()
{
    QList<double> times;
    for (int run = 0; run < 5; ++run) {
        QFile::remove(ImageList::filePath(m_dataDir));
        times.append(openOnce());
    }
    ImageList images;
    QCOMPARE(images.load(m_dataDir).status, ImageList::LoadStatus::Loaded);
    qInfo("first opening filled %d of 1,110 keys", images.size());
    report("first opening, keys filled from the dictionary", times);
}

void BenchImages::oneEdit()
{
    MyImagesWindow *window = Windows::instance<MyImagesWindow>();
    window->open();
    QAbstractItemModel *model = window->findChild<QTableView *>()->model();
    QList<double> times;
    for (int run = 0; run < 15; ++run) {
        QElapsedTimer timer;
        timer.start();
        model->setData(model->index(run, 1),
                       run % 2 ? QStringLiteral("tin") : QStringLiteral("ton"));
        times.append(double(timer.nsecsElapsed()) / 1e6);
    }
    report("one edit, saved", times);
}

QTEST_MAIN(BenchImages)
#include "bench_images.moc"
