#include "TestInstallation.h"
#include "core/AppInfo.h"
#include "help/FirstTime.h"
#include "help/NumberMapping.h"
#include "help/frmAbout.h"
#include "settings/Registry.h"
#include "workspace/Form1.h"
#include "workspace/Launcher.h"
#include "workspace/MessageBox.h"
#include "workspace/Windows.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>

#include <memory>
#include <optional>

// A program start as the main window runs it: the first-time notice before the main
// window is seen, and the Help commands that open the legend and the About box.
class TestFirstStart : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void noticeComesBeforeTheMainWindow_data();
    void noticeComesBeforeTheMainWindow();
    void helpCommandsReuseTheirWindow_data();
    void helpCommandsReuseTheirWindow();
    void helpWindowsOutliveTheMainWindow();

private:
    struct Start
    {
        bool noticeShown = false;
        bool mainWindowVisibleMeanwhile = false;
    };

    void resetSettings(const std::optional<QString> &firstTime);
    // Starts the main window, closing the notice should it come.
    Start start();
    static QString firstTimeSetting()
    {
        return Registry::GetRegValue(QLatin1String(AppInfo::settingsPath),
                                     QLatin1String(AppInfo::firstTimeSetting));
    }

    std::unique_ptr<TestInstallation> m_install;
    Form1 *m_window = nullptr;
};

void TestFirstStart::init()
{
    MessageBox::answerInstead(true);
    Launcher::setRecorder([](const QString &) {});
    m_install = std::make_unique<TestInstallation>(QByteArray(""));
}

void TestFirstStart::cleanup()
{
    Windows::releaseAll();
    m_window = nullptr;
    m_install.reset();
    Launcher::setRecorder({});
}

void TestFirstStart::resetSettings(const std::optional<QString> &firstTime)
{
    // The test's configuration folder is private: starting it afresh leaves only what
    // this case needs.
    QFile::remove(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                  QStringLiteral("/kerravane.conf"));
    Registry::SetRegValue(QLatin1String(AppInfo::settingsPath),
                          QLatin1String(AppInfo::installDirSetting), m_install->path());
    if (firstTime)
        Registry::SetRegValue(QLatin1String(AppInfo::settingsPath),
                              QLatin1String(AppInfo::firstTimeSetting), *firstTime);
    QCOMPARE(firstTimeSetting(), firstTime.value_or(QStringLiteral("Unknown")));
}

TestFirstStart::Start TestFirstStart::start()
{
    Start seen;
    QTimer::singleShot(0, this, [&] {
        FirstTime *notice = Windows::existing<FirstTime>();
        if (!notice || !notice->isVisible())
            return;
        seen.noticeShown = true;
        for (QWidget *window : QApplication::topLevelWidgets()) {
            if (qobject_cast<Form1 *>(window) && window->isVisible())
                seen.mainWindowVisibleMeanwhile = true;
        }
        notice->close();
    });
    m_window = Windows::instance<Form1>();
    m_window->show();
    QCoreApplication::processEvents();
    return seen;
}

void TestFirstStart::noticeComesBeforeTheMainWindow_data()
{
    QTest::addColumn<std::optional<QString>>("firstTime");
    QTest::addColumn<bool>("shown");

    QTest::newRow("missing") << std::optional<QString>() << true;
    QTest::newRow("yes") << std::optional<QString>(QStringLiteral("yes")) << true;
    QTest::newRow("no") << std::optional<QString>(QStringLiteral("no")) << false;
    QTest::newRow("Yes with a capital") << std::optional<QString>(QStringLiteral("Yes")) << false;
    QTest::newRow("empty") << std::optional<QString>(QStringLiteral("")) << false;
}

void TestFirstStart::noticeComesBeforeTheMainWindow()
{
    QFETCH(std::optional<QString>, firstTime);
    QFETCH(bool, shown);

    resetSettings(firstTime);
    const Start seen = start();
    QCOMPARE(seen.noticeShown, shown);
    QVERIFY(!seen.mainWindowVisibleMeanwhile);
    QVERIFY(m_window->isVisible());
    QTRY_COMPARE(Windows::existing<FirstTime>(), nullptr);
    // Merely looking at the notice changes nothing.
    QCOMPARE(firstTimeSetting(), firstTime.value_or(QStringLiteral("Unknown")));
}

void TestFirstStart::helpCommandsReuseTheirWindow_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("caption");

    QTest::newRow("legend") << "NumberMap"
                            << "Number Mapping Legend";
    QTest::newRow("about") << "About"
                           << "About Numbrill";
}

void TestFirstStart::helpCommandsReuseTheirWindow()
{
    QFETCH(QString, command);
    QFETCH(QString, caption);

    resetSettings(QStringLiteral("no"));
    start();
    auto *action = m_window->findChild<QAction *>(command);
    QVERIFY(action);
    action->trigger();
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
    QWidget *opened = nullptr;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w->isVisible() && w->windowTitle() == caption)
            opened = w;
    }
    QVERIFY(opened);
    QVERIFY(!opened->isModal());

    action->trigger();
    int copies = 0;
    for (QWidget *w : QApplication::topLevelWidgets())
        copies += w->windowTitle() == caption ? 1 : 0;
    QCOMPARE(copies, 1);
    QVERIFY(opened->isVisible());
}

void TestFirstStart::helpWindowsOutliveTheMainWindow()
{
    resetSettings(QStringLiteral("no"));
    start();
    m_window->findChild<QAction *>(QStringLiteral("NumberMap"))->trigger();
    m_window->findChild<QAction *>(QStringLiteral("About"))->trigger();
    QVERIFY(m_window->close());

    QVERIFY(!m_window->isVisible());
    QVERIFY(Windows::existing<NumberMapping>() && Windows::existing<NumberMapping>()->isVisible());
    QVERIFY(Windows::existing<frmAbout>() && Windows::existing<frmAbout>()->isVisible());
}

QTEST_MAIN(TestFirstStart)
#include "tst_firststart.moc"
