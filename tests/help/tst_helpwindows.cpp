#include "TestInstallation.h"
#include "app/Program.h"
#include "core/AppInfo.h"
#include "help/FirstTime.h"
#include "help/NumberMapping.h"
#include "help/frmAbout.h"
#include "settings/Registry.h"
#include "ui/Launcher.h"
#include "ui/MessageBox.h"
#include "ui/Windows.h"
#include "workspace/Form1.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QStandardPaths>
#include <QSysInfo>
#include <QTest>
#include <QTimer>

#include <csignal>
#include <memory>

// The help windows, the first-time notice, the legend card and the About box, on their
// own and as the main window's start-up and Help menu open them.
class TestHelpWindows : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void noticeComesBeforeTheMainWindow_data();
    void noticeComesBeforeTheMainWindow();
    void signalEndsTheProgramDuringTheNotice();
    void noticeCheckBoxWritesAtOnce_data();
    void noticeCheckBoxWritesAtOnce();
    void noticePageAddresses_data();
    void noticePageAddresses();
    void helpMenuReusesWindowsThatOutliveTheMainWindow();
    void aboutButtonsKeepItOpen();

private:
    // How a window is closed: its own button, its frame, or else the key of that code.
    static constexpr int Button = 0, Frame = -1;
    static void close(QWidget *window, const QString &button, int closeBy)
    {
        if (closeBy == Button)
            QTest::mouseClick(child<QPushButton>(window, button), Qt::LeftButton);
        else if (closeBy == Frame)
            window->close();
        else
            QTest::keyClick(window, Qt::Key(closeBy));
    }
    template <class T> static T *child(QWidget *window, const QString &name)
    {
        T *widget = window->findChild<T *>(name);
        Q_ASSERT(widget);
        return widget;
    }
    template <class T> static T *shown()
    {
        T *window = Windows::instance<T>();
        window->show();
        return window;
    }
    static QString setting(const char *name)
    {
        return Registry::GetRegValue(QLatin1String(AppInfo::settingsPath), QLatin1String(name));
    }
    static void setSetting(const char *name, const QString &value)
    {
        Registry::SetRegValue(QLatin1String(AppInfo::settingsPath), QLatin1String(name), value);
    }
    static void removeSettings()
    {
        // The test's configuration folder is private.
        QFile::remove(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                      QStringLiteral("/kerravane.conf"));
    }
    // Starts the main window with this "firsttime" (none when null) and tells whether
    // the notice came, closing it.
    bool startMainWindow(const QString &firstTime);

    std::unique_ptr<TestInstallation> m_install;
    QStringList m_launched;
    bool m_mainWindowSeenMeanwhile = false;
};

void TestHelpWindows::init()
{
    removeSettings();
    MessageBox::answerInstead(true);
    m_launched.clear();
    m_mainWindowSeenMeanwhile = false;
    Launcher::setRecorder([this](const QString &url) { m_launched.append(url); });
}

void TestHelpWindows::cleanup()
{
    Windows::releaseAll();
    m_install.reset();
    Launcher::setRecorder({});
}

bool TestHelpWindows::startMainWindow(const QString &firstTime)
{
    m_install = std::make_unique<TestInstallation>(QByteArray(""));
    removeSettings();
    setSetting(AppInfo::installDirSetting, m_install->path());
    if (!firstTime.isNull())
        setSetting(AppInfo::firstTimeSetting, firstTime);

    bool noticeShown = false;
    QTimer::singleShot(0, this, [&] {
        FirstTime *notice = Windows::existing<FirstTime>();
        if (!notice || !notice->isVisible())
            return;
        noticeShown = true;
        for (QWidget *window : QApplication::topLevelWidgets())
            m_mainWindowSeenMeanwhile |= qobject_cast<Form1 *>(window) && window->isVisible();
        notice->close();
    });
    shown<Form1>();
    QCoreApplication::processEvents();
    return noticeShown;
}

void TestHelpWindows::noticeComesBeforeTheMainWindow_data()
{
    QTest::addColumn<QString>("firstTime");
    QTest::addColumn<bool>("noticeShown");

    QTest::newRow("missing") << QString() << true;
    QTest::newRow("yes") << "yes" << true;
    QTest::newRow("no") << "no" << false;
    QTest::newRow("Yes with a capital") << "Yes" << false;
}

void TestHelpWindows::noticeComesBeforeTheMainWindow()
{
    QFETCH(QString, firstTime);
    QFETCH(bool, noticeShown);

    QCOMPARE(startMainWindow(firstTime), noticeShown);
    QVERIFY(!m_mainWindowSeenMeanwhile);
    QVERIFY(Windows::existing<Form1>()->isVisible());
    // Merely looking at the notice changes nothing.
    QCOMPARE(setting(AppInfo::firstTimeSetting),
             firstTime.isNull() ? QStringLiteral("Unknown") : firstTime);
}

// A logout while the notice is up must not stall: the notice ends like every other
// window, and the program ends without showing its main window.
void TestHelpWindows::signalEndsTheProgramDuringTheNotice()
{
    m_install = std::make_unique<TestInstallation>(QByteArray(""));
    removeSettings();
    setSetting(AppInfo::installDirSetting, m_install->path());

    // The first event loop to run is the notice's own.
    bool noticeSeen = false;
    bool gaveUp = false;
    QTimer::singleShot(0, this, [&] {
        const FirstTime *notice = Windows::existing<FirstTime>();
        noticeSeen = notice && notice->isVisible();
        std::raise(SIGTERM);
    });
    // Without the fix the program would wait here for ever; end it after a while.
    QTimer giveUp;
    giveUp.setSingleShot(true);
    connect(&giveUp, &QTimer::timeout, this, [&] {
        gaveUp = true;
        if (FirstTime *notice = Windows::existing<FirstTime>())
            notice->close();
        QCoreApplication::quit();
    });
    giveUp.start(10000);

    QCOMPARE(Program::run(), 0);
    QVERIFY(noticeSeen);
    QVERIFY(!gaveUp);
    QVERIFY(Program::shutdownRequested());
    QVERIFY(!Windows::existing<Form1>());
}

void TestHelpWindows::noticeCheckBoxWritesAtOnce_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<int>("clicks");
    QTest::addColumn<int>("closeBy");
    QTest::addColumn<QString>("after");

    QTest::newRow("untouched keeps a missing value") << QString() << 0 << Button << "Unknown";
    QTest::newRow("untouched keeps no") << "no" << 0 << int(Qt::Key_Escape) << "no";
    QTest::newRow("checked, Continue") << "yes" << 1 << Button << "no";
    QTest::newRow("checked, frame") << "yes" << 1 << Frame << "no";
    QTest::newRow("checked and unchecked, frame") << QString() << 2 << Frame << "yes";
}

void TestHelpWindows::noticeCheckBoxWritesAtOnce()
{
    QFETCH(QString, before);
    QFETCH(int, clicks);
    QFETCH(int, closeBy);
    QFETCH(QString, after);

    if (!before.isNull())
        setSetting(AppInfo::firstTimeSetting, before);
    QPointer<FirstTime> notice = shown<FirstTime>();
    auto *box = child<QCheckBox>(notice, QStringLiteral("Check1"));
    QVERIFY(!box->isChecked());
    for (int i = 1; i <= clicks; ++i) {
        QTest::mouseClick(box, Qt::LeftButton);
        QCOMPARE(setting(AppInfo::firstTimeSetting),
                 i % 2 ? QStringLiteral("no") : QStringLiteral("yes"));
    }
    close(notice, QStringLiteral("Close"), closeBy);
    // It lives for one showing only, so the next one starts unchecked.
    QTRY_VERIFY(notice.isNull());
    QCOMPARE(setting(AppInfo::firstTimeSetting), after);
}

void TestHelpWindows::noticePageAddresses_data()
{
    QTest::addColumn<QString>("installDir");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("url");

    // No folder stored reads as "Unknown", and the desktop quietly fails on that address.
    const char *rows[][3] = {
        {"/opt/numbrill", "Command1", "file:///opt/numbrill/docs/howitworks.htm"},
        {"/opt/numbrill", "Command2", "file:///opt/numbrill/docs/numbrill.htm"},
        {"C:\\Apps\\Trainer", "Command1", "file://C:\\Apps\\Trainer/docs/howitworks.htm"},
        {nullptr, "Command2", "file://Unknown/docs/numbrill.htm"}};
    for (const auto &[installDir, button, url] : rows)
        QTest::addRow("%s", url) << QString(installDir) << button << url;
}

void TestHelpWindows::noticePageAddresses()
{
    QFETCH(QString, installDir);
    QFETCH(QString, button);
    QFETCH(QString, url);

    if (!installDir.isNull())
        setSetting(AppInfo::installDirSetting, installDir);
    auto *notice = shown<FirstTime>();
    QTest::mouseClick(child<QPushButton>(notice, button), Qt::LeftButton);
    QCOMPARE(m_launched, QStringList{url});
    QVERIFY(notice->isVisible());
    QVERIFY(MessageBox::shown().isEmpty());
}

void TestHelpWindows::helpMenuReusesWindowsThatOutliveTheMainWindow()
{
    startMainWindow(QStringLiteral("no"));
    Form1 *mainWindow = Windows::existing<Form1>();
    for (const char *command : {"NumberMap", "NumberMap", "About", "About"})
        child<QAction>(mainWindow, QLatin1String(command))->trigger();
    const QPointer<QWidget> opened[] = {Windows::existing<NumberMapping>(),
                                        Windows::existing<frmAbout>()};
    int copies = 0;
    for (QWidget *window : QApplication::topLevelWidgets())
        copies += qobject_cast<NumberMapping *>(window) || qobject_cast<frmAbout *>(window);
    QCOMPARE(copies, 2);

    QVERIFY(mainWindow->close());
    for (const QPointer<QWidget> &window : opened)
        QVERIFY(window && window->isVisible() && !window->isModal());
}

void TestHelpWindows::aboutButtonsKeepItOpen()
{
    auto *about = shown<frmAbout>();
    QVERIFY(!child<QLabel>(about, QStringLiteral("picIcon"))->pixmap().isNull());
    QTest::mouseClick(child<QPushButton>(about, QStringLiteral("WebSite")), Qt::LeftButton);
    QCOMPARE(m_launched, QStringList{QStringLiteral(NUMBRILL_WEBSITE)});

    if (QSysInfo::kernelType() == u"winnt")
        QSKIP("Windows has a system-information tool");
    QTest::mouseClick(child<QPushButton>(about, QStringLiteral("cmdSysInfo")), Qt::LeftButton);
    const QList<MessageBox::Shown> messages = MessageBox::shown();
    QCOMPARE(messages.size(), 1);
    QCOMPARE(messages.first().title, QStringLiteral("Numbrill"));
    QCOMPARE(messages.first().text,
             QStringLiteral("System Information Is Unavailable At This Time"));
    QCOMPARE(messages.first().buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QVERIFY(about->isVisible());
}

QTEST_MAIN(TestHelpWindows)
#include "tst_helpwindows.moc"
