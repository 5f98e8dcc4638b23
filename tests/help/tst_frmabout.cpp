#include "help/frmAbout.h"
#include "workspace/Launcher.h"
#include "workspace/MessageBox.h"
#include "workspace/Windows.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QSysInfo>
#include <QTest>

// The About box: its texts and icon, the ways to close it, the web site button and
// the system-information button.
class TestFrmAbout : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void showsNameVersionAndIcon();
    void closes_data();
    void closes();
    void webSiteOpensTheMakersSite();
    void systemInfoIsUnavailableHere();

private:
    void open();
    template <class T> T *child(const char *name) const
    {
        T *widget = m_box->findChild<T *>(QLatin1String(name));
        Q_ASSERT(widget);
        return widget;
    }

    QPointer<frmAbout> m_box;
    QStringList m_launched;
};

void TestFrmAbout::init()
{
    MessageBox::answerInstead(true);
    m_launched.clear();
    Launcher::setRecorder([this](const QString &url) { m_launched.append(url); });
}

void TestFrmAbout::cleanup()
{
    Windows::releaseAll();
    Launcher::setRecorder({});
}

void TestFrmAbout::open()
{
    m_box = Windows::instance<frmAbout>();
    m_box->show();
    m_box->activateWindow();
    QVERIFY2(QTest::qWaitForWindowActive(m_box), "the About box did not become active");
}

void TestFrmAbout::showsNameVersionAndIcon()
{
    open();
    QCOMPARE(m_box->windowTitle(), QStringLiteral("About Numbrill"));
    QVERIFY(!m_box->isModal());
    QCOMPARE(child<QLabel>("lblTitle")->text(), QStringLiteral("Numbrill"));
    QCOMPARE(child<QLabel>("lblVersion")->text(), QStringLiteral("Version 2.2.0"));
    QVERIFY(!child<QLabel>("picIcon")->pixmap().isNull());
    QCOMPARE(child<QPushButton>("cmdOK")->text(), QStringLiteral("OK"));
    QVERIFY(child<QPushButton>("cmdOK")->isDefault());
    QCOMPARE(child<QPushButton>("cmdSysInfo")->text(), QStringLiteral("&System Info..."));
    QCOMPARE(child<QPushButton>("WebSite")->text(), QStringLiteral("Web Site"));

    // The rule parts the name, version and web site from the two buttons below it.
    const auto *rule = child<QFrame>("Line1");
    QCOMPARE(rule->frameShape(), QFrame::HLine);
    QCOMPARE(rule->frameShadow(), QFrame::Sunken);
    QVERIFY(child<QPushButton>("WebSite")->geometry().bottom() < rule->y());
    QVERIFY(child<QLabel>("lblVersion")->geometry().bottom() < rule->y());
    QVERIFY(rule->geometry().bottom() < child<QPushButton>("cmdOK")->y());
    QVERIFY(child<QPushButton>("cmdOK")->geometry().bottom() <
            child<QPushButton>("cmdSysInfo")->y());
}

void TestFrmAbout::closes_data()
{
    QTest::addColumn<QString>("how");

    QTest::newRow("OK") << "OK";
    QTest::newRow("Enter") << "Enter";
    QTest::newRow("Return") << "Return";
    QTest::newRow("Escape") << "Escape";
    QTest::newRow("frame") << "frame";
}

void TestFrmAbout::closes()
{
    QFETCH(QString, how);

    open();
    if (how == u"OK")
        QTest::mouseClick(child<QPushButton>("cmdOK"), Qt::LeftButton);
    else if (how == u"Enter")
        QTest::keyClick(m_box, Qt::Key_Enter);
    else if (how == u"Return")
        QTest::keyClick(m_box, Qt::Key_Return);
    else if (how == u"Escape")
        QTest::keyClick(m_box, Qt::Key_Escape);
    else
        m_box->close();

    QTRY_VERIFY(m_box.isNull());
    QCOMPARE(Windows::existing<frmAbout>(), nullptr);
    QVERIFY(m_launched.isEmpty());
    QVERIFY(MessageBox::shown().isEmpty());
}

void TestFrmAbout::webSiteOpensTheMakersSite()
{
    open();
    QTest::mouseClick(child<QPushButton>("WebSite"), Qt::LeftButton);
    QCOMPARE(m_launched, QStringList{QStringLiteral(NUMBRILL_WEBSITE)});
    QVERIFY(m_box->isVisible());
}

void TestFrmAbout::systemInfoIsUnavailableHere()
{
    if (QSysInfo::kernelType() == u"winnt")
        QSKIP("Windows has a system-information tool");
    open();
    QTest::mouseClick(child<QPushButton>("cmdSysInfo"), Qt::LeftButton);

    const QList<MessageBox::Shown> shown = MessageBox::shown();
    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown.first().title, QStringLiteral("Numbrill"));
    QCOMPARE(shown.first().text, QStringLiteral("System Information Is Unavailable At This Time"));
    QCOMPARE(shown.first().buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(shown.first().icon, QMessageBox::NoIcon);
    QVERIFY(m_box->isVisible());
}

QTEST_MAIN(TestFrmAbout)
#include "tst_frmabout.moc"
