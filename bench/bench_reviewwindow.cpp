#include "core/AppInfo.h"
#include "remembered/ReviewWindow.h"
#include "remembered/RememberedList.h"
#include "remembered/RememberedNumbers.h"
#include "settings/Registry.h"
#include "ui/MessageBox.h"
#include "ui/Windows.h"

#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

// The remembered-numbers window with years of numbers: opening it, one search step,
// and merging a large export file into a large list (bench_scale sorts at every size).
class BenchReviewWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void open();
    void searchStep();
    void importLargeFile();

private:
    ReviewWindow *openWindow();

    QTemporaryDir m_home;
    QTemporaryDir m_install;
    QString m_export;
};

static const char *const words[] = {"meter", "tin",  "ham", "ray", "lake", "gem",
                                    "cave",  "fife", "pie", "sea", "knot", "bee"};

void BenchReviewWindow::initTestCase()
{
    // Never the user's own settings.
    qputenv("XDG_CONFIG_HOME", m_home.path().toLocal8Bit());
    MessageBox::answerInstead(true);
    QDir(m_install.path()).mkpath(QStringLiteral("data"));
    Registry::SetRegValue(QLatin1String(AppInfo::settingsPath),
                          QLatin1String(AppInfo::installDirSetting), m_install.path());

    QByteArray list;
    QByteArray exported("\"Numbrill\"\r\n");
    for (int i = 0; i < 100000; ++i) {
        const QByteArray value = QByteArray::number(qint64(i) * 7919 % 1000003);
        const QByteArray description = "number " + QByteArray::number((i * 37) % 100000);
        QByteArray chain;
        for (int w = 0; w < 4; ++w)
            chain += QByteArray(" ") + words[(i / (w + 1)) % 12];
        list += '"' + value + ':' + description + ':' + chain.mid(1) + "\"\r\n";
        // Half of the export is new, half already in the list.
        const QByteArray exportedValue = i % 2 ? value : value + "0";
        exported +=
            '"' + exportedValue + "\"\r\n\"" + description + "\"\r\n\"" + chain.mid(1) + "\"\r\n";
    }
    QFile file(m_install.filePath(QStringLiteral("data/rv.db")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(list);
    file.close();

    m_export = m_install.filePath(QStringLiteral("export.txt"));
    QFile exportFile(m_export);
    QVERIFY(exportFile.open(QIODevice::WriteOnly));
    exportFile.write(exported);
}

void BenchReviewWindow::cleanupTestCase()
{
    // The list was changed by the import; it is not to be saved.
    RememberedNumbers::instance()->model()->setChanged(false);
    Windows::releaseAll();
    RememberedNumbers::release();
}

ReviewWindow *BenchReviewWindow::openWindow()
{
    ReviewWindow *window = Windows::instance<ReviewWindow>();
    window->load();
    RememberedNumbers::instance()->drain();
    window->show();
    return window;
}

void BenchReviewWindow::open()
{
    QBENCHMARK
    {
        ReviewWindow *window = openWindow();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        window->unload();
        RememberedNumbers::instance()->drain();
    }
}

void BenchReviewWindow::searchStep()
{
    ReviewWindow *window = openWindow();
    auto *view = window->findChild<QTreeView *>(QStringLiteral("ListView1"));
    view->setFocus();
    QTest::keyClicks(view, QStringLiteral("9999"));
    QBENCHMARK
    {
        QTest::keyClick(view, Qt::Key_Return);
    }
    QVERIFY(window->lastFound() > 0);
}

void BenchReviewWindow::importLargeFile()
{
    openWindow();
    RememberedNumbers *numbers = RememberedNumbers::instance();
    QBENCHMARK_ONCE
    {
        numbers->importFile(m_export);
        numbers->drain();
    }
    QCOMPARE(numbers->entryCount(), 150000);
}

QTEST_MAIN(BenchReviewWindow)
#include "bench_reviewwindow.moc"
