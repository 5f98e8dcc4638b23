#include "app/SessionBus.h"

#include <QDBusConnection>
#include <QDBusError>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

namespace {

// The child: connects as the program does first thing, and tells what error Qt kept
// and what address the environment holds afterwards.
int connectAndTell()
{
    SessionBus::connectEarly();
    std::printf("%s\n%s\n", qPrintable(QDBusConnection::sessionBus().lastError().name()),
                qgetenv("DBUS_SESSION_BUS_ADDRESS").constData());
    return 0;
}

constexpr char badAddress[] = "org.freedesktop.DBus.Error.BadAddress";

} // namespace

// Without a session bus, and without dbus-launch to start one, the connection fails at
// once instead of after a fork; wherever a bus may be found, the library looks for it
// as always. Either way the environment is left as it was.
class TestSessionBus : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void connectEarly_data()
    {
        QTest::addColumn<QString>("given");
        QTest::addColumn<bool>("forked");
        QTest::newRow("nothing to find or start") << QString() << false;
        QTest::newRow("an address given") << "address" << true;
        QTest::newRow("a user session's bus") << "bus" << true;
        QTest::newRow("dbus-launch on the path") << "dbus-launch" << true;
    }

    void connectEarly()
    {
        QFETCH(QString, given);
        QFETCH(bool, forked);
        if (QFile::exists(QStringLiteral("/usr/bin/dbus-launch")))
            QSKIP("dbus-launch is installed here: a bus can always be started");
        QTemporaryDir folder;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), folder.path());
        environment.insert(QStringLiteral("PATH"), folder.path());
        QString address;
        if (given == QLatin1String("address")) {
            address = QStringLiteral("unix:path=") + folder.filePath(QStringLiteral("none"));
            environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), address);
        } else if (given == QLatin1String("bus")) {
            QVERIFY(QFile(folder.filePath(QStringLiteral("bus"))).open(QIODevice::WriteOnly));
        } else if (given == QLatin1String("dbus-launch")) {
            QFile launch(folder.filePath(QStringLiteral("dbus-launch")));
            QVERIFY(launch.open(QIODevice::WriteOnly));
            launch.write("#!/bin/sh\nexit 1\n");
            launch.close();
            QVERIFY(launch.setPermissions(launch.permissions() | QFile::ExeOwner));
        }

        QProcess child;
        child.setProcessEnvironment(environment);
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--connect")});
        QVERIFY(child.waitForFinished(10000));
        const QStringList told = QString::fromUtf8(child.readAllStandardOutput()).split(u'\n');
        QCOMPARE(told.size(), 3);
        QVERIFY(!told.at(0).isEmpty());
        QCOMPARE(told.at(0) != QLatin1String(badAddress), forked);
        QCOMPARE(told.at(1), address);
    }
};

int main(int argc, char *argv[])
{
    if (argc == 2 && qstrcmp(argv[1], "--connect") == 0)
        return connectAndTell();
    QCoreApplication app(argc, argv);
    TestSessionBus test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_sessionbus.moc"
