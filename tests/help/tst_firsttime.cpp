#include "core/AppInfo.h"
#include "help/FirstTime.h"
#include "settings/Registry.h"
#include "workspace/Launcher.h"
#include "workspace/MessageBox.h"
#include "workspace/Windows.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>

// The first-time notice on its own: its texts, the check box that writes the
// "firsttime" setting at once, and the addresses its page buttons hand over.
class TestFirstTime : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void showsTheNotice();
    void checkBoxWritesAtOnce_data();
    void checkBoxWritesAtOnce();
    void pageButtonsOpenThePages_data();
    void pageButtonsOpenThePages();

private:
    FirstTime *open();
    template <class T> T *child(const char *name) const
    {
        T *widget = m_dialog->findChild<T *>(QLatin1String(name));
        Q_ASSERT(widget);
        return widget;
    }
    static QString setting(const char *name)
    {
        return Registry::GetRegValue(QLatin1String(AppInfo::settingsPath), QLatin1String(name));
    }
    static void setSetting(const char *name, const QString &value)
    {
        Registry::SetRegValue(QLatin1String(AppInfo::settingsPath), QLatin1String(name), value);
    }

    QPointer<FirstTime> m_dialog;
    QStringList m_launched;
};

void TestFirstTime::init()
{
    // Each case starts without settings. The test's configuration folder is private.
    QFile::remove(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                  QStringLiteral("/kerravane.conf"));
    QCOMPARE(setting(AppInfo::firstTimeSetting), QStringLiteral("Unknown"));
    MessageBox::answerInstead(true);
    m_launched.clear();
    Launcher::setRecorder([this](const QString &url) { m_launched.append(url); });
}

void TestFirstTime::cleanup()
{
    Windows::releaseAll();
    Launcher::setRecorder({});
}

FirstTime *TestFirstTime::open()
{
    m_dialog = Windows::instance<FirstTime>();
    m_dialog->show();
    return m_dialog;
}

void TestFirstTime::showsTheNotice()
{
    // A user who switched the notice off and sees it anyway starts unchecked.
    setSetting(AppInfo::firstTimeSetting, QStringLiteral("no"));
    open();
    QCOMPARE(m_dialog->windowTitle(), QStringLiteral("First Time Users"));
    const auto *notice = child<QLabel>("Label1");
    QCOMPARE(notice->text(),
             QStringLiteral("If you are a first time user please review the user manual before "
                            "attempting to save your first number, as you must understand the "
                            "concepts of the phonetic library to be able to use this tool. You "
                            "can access the manual from the help menu or by clicking the button "
                            "below."));
    QCOMPARE(notice->textFormat(), Qt::PlainText);
    QCOMPARE(child<QPushButton>("Command1")->text(), QStringLiteral("How it works"));
    QCOMPARE(child<QPushButton>("Command2")->text(), QStringLiteral("User Manual"));
    QCOMPARE(child<QCheckBox>("Check1")->text(), QStringLiteral("Do not show this dialog again"));
    QVERIFY(!child<QCheckBox>("Check1")->isChecked());
    QCOMPARE(child<QPushButton>("Close")->text(), QStringLiteral("Continue"));
    QCOMPARE(setting(AppInfo::firstTimeSetting), QStringLiteral("no"));
}

void TestFirstTime::checkBoxWritesAtOnce_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<int>("clicks");
    QTest::addColumn<QString>("closeBy");
    QTest::addColumn<QString>("after");

    QTest::newRow("untouched keeps a missing value") << QString() << 0 << "Continue"
                                                     << "Unknown";
    QTest::newRow("untouched keeps yes") << "yes" << 0 << "Continue"
                                         << "yes";
    QTest::newRow("checked, Continue") << "yes" << 1 << "Continue"
                                       << "no";
    QTest::newRow("checked, frame") << "yes" << 1 << "frame"
                                    << "no";
    QTest::newRow("checked, Escape") << QString() << 1 << "Escape"
                                     << "no";
    QTest::newRow("checked and unchecked") << "yes" << 2 << "Continue"
                                           << "yes";
    QTest::newRow("checked and unchecked, frame") << QString() << 2 << "frame"
                                                  << "yes";
    QTest::newRow("three clicks") << "yes" << 3 << "Continue"
                                  << "no";
}

void TestFirstTime::checkBoxWritesAtOnce()
{
    QFETCH(QString, before);
    QFETCH(int, clicks);
    QFETCH(QString, closeBy);
    QFETCH(QString, after);

    if (!before.isNull())
        setSetting(AppInfo::firstTimeSetting, before);
    open();
    auto *box = child<QCheckBox>("Check1");
    for (int i = 1; i <= clicks; ++i) {
        QTest::mouseClick(box, Qt::LeftButton);
        QCOMPARE(setting(AppInfo::firstTimeSetting),
                 i % 2 == 1 ? QStringLiteral("no") : QStringLiteral("yes"));
    }

    if (closeBy == u"Continue")
        QTest::mouseClick(child<QPushButton>("Close"), Qt::LeftButton);
    else if (closeBy == u"frame")
        m_dialog->close();
    else
        QTest::keyClick(m_dialog, Qt::Key_Escape);
    // It lives for one showing only, so the next one starts unchecked.
    QTRY_VERIFY(m_dialog.isNull());
    QCOMPARE(Windows::existing<FirstTime>(), nullptr);
    QCOMPARE(setting(AppInfo::firstTimeSetting), after);
    QVERIFY(MessageBox::shown().isEmpty());
}

void TestFirstTime::pageButtonsOpenThePages_data()
{
    QTest::addColumn<QString>("installDir");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("url");

    QTest::newRow("how it works") << "/opt/numbrill/share/numbrill"
                                  << "Command1"
                                  << "file:///opt/numbrill/share/numbrill/docs/howitworks.htm";
    QTest::newRow("manual") << "/opt/numbrill/share/numbrill"
                            << "Command2"
                            << "file:///opt/numbrill/share/numbrill/docs/numbrill.htm";
    QTest::newRow("separators kept") << "C:\\Apps\\Trainer"
                                     << "Command1"
                                     << "file://C:\\Apps\\Trainer/docs/howitworks.htm";
    QTest::newRow("blanks kept") << "/home/ann/my programs/numbrill"
                                 << "Command2"
                                 << "file:///home/ann/my programs/numbrill/docs/numbrill.htm";
    QTest::newRow("no folder") << QString() << "Command1"
                               << "file://Unknown/docs/howitworks.htm";
    QTest::newRow("no folder, manual") << QString() << "Command2"
                                       << "file://Unknown/docs/numbrill.htm";
}

void TestFirstTime::pageButtonsOpenThePages()
{
    QFETCH(QString, installDir);
    QFETCH(QString, button);
    QFETCH(QString, url);

    if (!installDir.isNull())
        setSetting(AppInfo::installDirSetting, installDir);
    open();
    QTest::mouseClick(child<QPushButton>(button.toLatin1().constData()), Qt::LeftButton);
    QCOMPARE(m_launched, QStringList{url});
    QVERIFY(m_dialog->isVisible());
    QVERIFY(MessageBox::shown().isEmpty());
}

QTEST_MAIN(TestFirstTime)
#include "tst_firsttime.moc"
