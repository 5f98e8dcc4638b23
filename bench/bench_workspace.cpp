#include "TestPaths.h"
#include "core/AppInfo.h"
#include "settings/Registry.h"
#include "ui/MessageBox.h"
#include "ui/Windows.h"
#include "workspace/MainWindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

// The main window's responsiveness with the shipped dictionary and a large list of
// remembered numbers: a keystroke in the number box, a pasted number, and start-up:
// a whole process that shows the main window against one that shows an empty window.
class BenchWorkspace : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void appendDigit();
    void pasteFortyDigits();
    void startUp_data();
    void startUp();

private:
    QTemporaryDir m_home;
    QTemporaryDir m_install;
    const QString m_number = QStringLiteral("3141592653589793238462643383279502884197");
};

void BenchWorkspace::initTestCase()
{
    // Never the user's own settings.
    qputenv("XDG_CONFIG_HOME", m_home.path().toLocal8Bit());
    MessageBox::answerInstead(true);

    QDir(m_install.path()).mkpath(QStringLiteral("data"));
    const QString shipped = QString::fromUtf8(TestPaths::buildShareDir) + QStringLiteral("/data/");
    for (const char *name : {"num1.db", "num.db"})
        QVERIFY(QFile::copy(shipped + QLatin1String(name),
                            m_install.filePath(QStringLiteral("data/") + QLatin1String(name))));

    QFile list(m_install.filePath(QStringLiteral("data/rv.db")));
    QVERIFY(list.open(QIODevice::WriteOnly));
    const char *words[] = {"meter", "tin",  "ham",  "ray", "lake",
                           "gem",   "cave", "fife", "pie", "sea"};
    for (int i = 0; i < 10000; ++i) {
        list.write(QStringLiteral("\"%1:number %2:%3 %4 %5 %6\"\r\n")
                       .arg(i * 7919)
                       .arg(i)
                       .arg(QLatin1String(words[i % 10]), QLatin1String(words[(i / 10) % 10]),
                            QLatin1String(words[(i / 100) % 10]),
                            QLatin1String(words[(i / 3) % 10]))
                       .toLatin1());
    }
    list.close();
    Registry::SetRegValue(QLatin1String(AppInfo::settingsPath),
                          QLatin1String(AppInfo::installDirSetting), m_install.path());
    Registry::SetRegValue(QLatin1String(AppInfo::settingsPath),
                          QLatin1String(AppInfo::firstTimeSetting), QStringLiteral("no"));
}

void BenchWorkspace::cleanupTestCase()
{
    Windows::releaseAll();
}

void BenchWorkspace::appendDigit()
{
    MainWindow *window = Windows::instance<MainWindow>();
    window->show();
    auto *box = window->findChild<QLineEdit *>(QStringLiteral("Text1"));
    box->setText(m_number.left(3));
    QBENCHMARK
    {
        QTest::keyClick(box, Qt::Key_5);
        QTest::keyClick(box, Qt::Key_Backspace);
    }
    QVERIFY(window->findChild<QTreeWidget *>(QStringLiteral("ListView1"))->topLevelItemCount() > 0);
}

void BenchWorkspace::pasteFortyDigits()
{
    MainWindow *window = Windows::instance<MainWindow>();
    auto *box = window->findChild<QLineEdit *>(QStringLiteral("Text1"));
    QBENCHMARK
    {
        box->clear();
        box->insert(m_number);
    }
    QVERIFY(window->findChild<QTreeWidget *>(QStringLiteral("ListView1"))->topLevelItemCount() > 0);
}

void BenchWorkspace::startUp_data()
{
    QTest::addColumn<QString>("window");
    QTest::newRow("empty window") << "--show-empty-window";
    QTest::newRow("main window") << "--show-main-window";
}

void BenchWorkspace::startUp()
{
    QFETCH(QString, window);

    QBENCHMARK
    {
        QProcess process;
        process.start(QCoreApplication::applicationFilePath(), {window});
        QVERIFY(process.waitForFinished(30000));
        QCOMPARE(process.exitCode(), 0);
    }
}

// The child process of startUp(): shows one window and ends once it is exposed.
static int showOneWindow(int argc, char *argv[])
{
    QApplication app(argc, argv);
    MessageBox::answerInstead(true);
    QWidget *window = nullptr;
    if (qstrcmp(argv[1], "--show-main-window") == 0) {
        window = Windows::instance<MainWindow>();
    } else {
        window = new QWidget;
        window->resize(541, 500);
    }
    window->show();
    const bool exposed = QTest::qWaitForWindowExposed(window);
    Windows::releaseAll();
    return exposed ? 0 : 1;
}

int main(int argc, char *argv[])
{
    if (argc == 2 && qstrncmp(argv[1], "--show-", 7) == 0)
        return showOneWindow(argc, argv);
    QApplication app(argc, argv);
    BenchWorkspace bench;
    return QTest::qExec(&bench, argc, argv);
}

#include "bench_workspace.moc"
