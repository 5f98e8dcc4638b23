#include "TestInstallation.h"
#include "app/Program.h"
#include "core/AppInfo.h"
#include "settings/Registry.h"
#include "ui/Launcher.h"
#include "ui/MessageBox.h"
#include "ui/Windows.h"
#include "workspace/MainWindow.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QSysInfo>
#include <QStyle>
#include <QTest>
#include <QTimer>

#include <csignal>

// The first-time notice, the legend card and the About box, as the program's start-up
// and the main window's Help menu open them. Each row is one run of the program: a
// user's steps, and what the user then saw, in order.
class TestHelpWindows : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void run_data();
    void run();
};

void TestHelpWindows::run_data()
{
    QTest::addColumn<QString>("firstTime");  // null: none stored
    QTest::addColumn<QString>("installDir"); // null: the test's installation
    // The objectName of a button to click or a menu command to give, once it is on
    // show; "frame" to close the newest window by its frame; or "logout".
    QTest::addColumn<QStringList>("steps");
    // The windows as they are shown, " (modal)" marked, the addresses opened, those
    // left open when the main window was closed, "firsttime", and the messages shown.
    QTest::addColumn<QStringList>("saw");

    const QString notice = QStringLiteral("FirstTime (modal)");
    const auto row = [](const char *name, const char *firstTime, const QStringList &steps,
                        const QStringList &saw, const char *installDir = nullptr) {
        QTest::newRow(name) << firstTime << installDir << steps << saw;
    };
    row("first start", nullptr, {"Close"}, {notice, "Form1", "firsttime=Unknown"});
    row("the pages, then checked, frame", "yes", {"Command1", "Command2", "Check1", "frame"},
        {notice, "file://%1/docs/howitworks.htm", "file://%1/docs/numbrill.htm", "Form1",
         "firsttime=no"});
    row("checked and unchecked, frame", nullptr, {"Check1", "Check1", "frame"},
        {notice, "Form1", "firsttime=yes"});
    // Ends the program without its main window, rather than waiting for a user who is gone.
    row("checked, logout", "yes", {"Check1", "logout"}, {notice, "firsttime=no"});
    // The note the start-up would show next waits for nobody.
    row("logout, then no note", "yes", {"logout"}, {notice, "firsttime=yes"},
        "C:\\Apps\\Trainer");
    row("Yes with a capital", "Yes", {}, {"Form1", "firsttime=Yes"});
    // The folder goes into the address as stored; the main window then finds no dictionary.
    row("a folder of another system", "yes", {"Command1", "Close"},
        {notice, "file://C:\\Apps\\Trainer/docs/howitworks.htm", "Form1", "firsttime=yes",
         "The word dictionary was not found in " +
             QDir::toNativeSeparators("C:\\Apps\\Trainer/data") +
             ". Numbrill cannot offer candidate words until it is installed there again."},
        "C:\\Apps\\Trainer");
    // Close only hides the legend; the menu shows the same one again.
    row("one legend and one About box, which outlive the main window", "no",
        {"NumberMap", "Command1", "NumberMap", "About", "WebSite", "cmdOK", "About", "About"},
        {"Form1", "NumberMapping", "frmAbout", NUMBRILL_WEBSITE, "frmAbout",
         "NumberMapping left open", "frmAbout left open", "firsttime=no"});
    if (QSysInfo::kernelType() != u"winnt") // which has a system-information tool
        row("About box, no system information", "no", {"About", "cmdSysInfo"},
            {"Form1", "frmAbout", "frmAbout left open", "firsttime=no",
             "System Information Is Unavailable At This Time"});
}

void TestHelpWindows::run()
{
    QFETCH(QString, firstTime);
    QFETCH(QString, installDir);
    QFETCH(QStringList, steps);
    QFETCH(QStringList, saw);

    MessageBox::answerInstead(true);
    const TestInstallation install(QByteArray(""));
    const QString key = QLatin1String(AppInfo::settingsPath);
    // The test's configuration folder is private.
    QFile::remove(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                  QStringLiteral("/kerravane.conf"));
    Registry::SetRegValue(key, QLatin1String(AppInfo::installDirSetting),
                          installDir.isNull() ? install.path() : installDir);
    if (!firstTime.isNull())
        Registry::SetRegValue(key, QLatin1String(AppInfo::firstTimeSetting), firstTime);

    QStringList seen;
    Launcher::setRecorder([&seen](const QString &url) { seen.append(url); });
    QList<QPointer<QWidget>> shown;
    int waited = 0;
    QTimer user;
    connect(&user, &QTimer::timeout, this, [&] {
        for (QWidget *window : QApplication::topLevelWidgets()) {
            if (window->isVisible() && !shown.contains(window)) {
                shown.append(window);
                seen.append(window->objectName() + (window->isModal() ? " (modal)" : ""));
            }
        }
        if (!steps.isEmpty()) {
            // The control is looked for on the newest window open, as the user sees it.
            QWidget *window = nullptr;
            QObject *control = nullptr;
            for (qsizetype i = shown.size() - 1; i >= 0 && !control; --i) {
                if (shown.at(i) && shown.at(i)->isVisible()) {
                    if (!window)
                        window = shown.at(i);
                    control = shown.at(i)->findChild<QObject *>(steps.first());
                }
            }
            const QString step = steps.first();
            const bool ready = control || (window && step == u"frame");
            // A control that does not come within two seconds is missed.
            if (!ready && step != u"logout" && ++waited < 200)
                return;
            waited = 0;
            steps.removeFirst();
            if (step == u"logout")
                std::raise(SIGTERM);
            else if (!ready)
                seen.append(QStringLiteral("missing: ") + step);
            else if (step == u"frame")
                window->close();
            else if (auto *command = qobject_cast<QAction *>(control))
                command->trigger();
            else
                QTest::mouseClick(qobject_cast<QAbstractButton *>(control), Qt::LeftButton);
            return;
        }
        // Done: the user closes the main window, and then whatever it left open.
        if (MainWindow *main = Windows::existing<MainWindow>(); main && main->isVisible()) {
            // Pictures read only when first shown are there by then.
            const QStyle *style = QApplication::style();
            if (QApplication::windowIcon().pixmap(32).isNull() ||
                style->standardIcon(QStyle::SP_ToolBarHorizontalExtensionButton).pixmap(16).isNull())
                seen.append(QStringLiteral("a picture missing"));
            main->close();
            return;
        }
        for (QWidget *window : std::as_const(shown)) {
            if (window && window->isVisible()) {
                seen.append(window->objectName() + QStringLiteral(" left open"));
                window->close();
            }
        }
    });
    user.start(10);
    QCOMPARE(Program::run(), 0);
    Launcher::setRecorder({});

    seen.append(QStringLiteral("firsttime=") +
                Registry::GetRegValue(key, QLatin1String(AppInfo::firstTimeSetting)));
    for (const MessageBox::Shown &message : MessageBox::shown()) {
        QCOMPARE(message.title, QStringLiteral("Numbrill"));
        seen.append(message.text);
    }
    QCOMPARE(seen, saw.replaceInStrings(QStringLiteral("%1"), install.path()));
}

QTEST_MAIN(TestHelpWindows)
#include "tst_helpwindows.moc"
