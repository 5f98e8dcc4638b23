#include "TestPaths.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

// The programs answer on the command line as command-line users expect: help and
// version on standard output with status 0, anything they do not know refused on
// standard error with status 2. None of these needs a display.
class TestCommandLine : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void answers_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        // What standard output or, for a refusal, standard error begins with.
        QTest::addColumn<QString>("begins");

        const QString version = QStringLiteral(" " NUMBRILL_VERSION "\n");
        for (const char *program : {"numbrill", "numbrill-register"}) {
            const QString name = QLatin1String(program);
            const auto row = [&](const char *what, const QStringList &arguments, int status,
                                 const QString &begins) {
                QTest::addRow("%s %s", program, what) << name << arguments << status << begins;
            };
            row("--help", {"--help"}, 0, "Usage: " + name + " [OPTIONS]");
            row("-h", {"-h"}, 0, "Usage: " + name + " [OPTIONS]");
            row("--version", {"--version"}, 0, name + version);
            row("-v", {"-v"}, 0, name + version);
            row("unknown option", {"--frobnicate"}, 2, name + ": unknown option '--frobnicate'\n");
            row("unknown short option", {"-x", "--help"}, 2, name + ": unknown option '-x'\n");
        }
        QTest::addRow("numbrill stray argument")
            << "numbrill" << QStringList{"314"} << 2 << "numbrill: unexpected argument '314'\n";
        QTest::addRow("numbrill-register two folders")
            << "numbrill-register" << QStringList{"/a", "/b"} << 2
            << "numbrill-register: unexpected argument '/b'\n";
        // Qt's own options still reach the application; -platform offscreen with
        // --version shows they are taken as options, not as stray arguments.
        QTest::addRow("numbrill Qt options pass")
            << "numbrill" << QStringList{"-platform", "offscreen", "-reverse", "--version"} << 0
            << "numbrill" + version;
    }

    void answers()
    {
        QFETCH(QString, program);
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, begins);

        QProcess process;
        // Without a display: the answer must not need one.
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            environment.remove(QLatin1String(name));
        process.setProcessEnvironment(environment);
        process.start(QString::fromUtf8(TestPaths::binDir) + u'/' + program, arguments);
        QVERIFY(process.waitForFinished(30000));
        const QString out = QString::fromLocal8Bit(process.readAllStandardOutput());
        const QString err = QString::fromLocal8Bit(process.readAllStandardError());
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), status);
        const QString answer = status == 0 ? out : err;
        QVERIFY2(answer.startsWith(begins), qPrintable(answer));
        // The other stream stays quiet.
        QCOMPARE(status == 0 ? err : out, QString());
    }

    // Without a folder named, numbrill-register records the installation it belongs to.
    void registersItsOwnInstallation()
    {
        QTemporaryDir prefix;
        QVERIFY(QDir(prefix.path()).mkpath(QStringLiteral("bin")) &&
                QDir(prefix.path()).mkpath(QStringLiteral("share/numbrill/data")));
        const QString program = prefix.filePath(QStringLiteral("bin/numbrill-register"));
        QVERIFY(QFile::copy(QString::fromUtf8(TestPaths::binDir) + "/numbrill-register", program));
        QProcess process;
        process.start(program, {});
        QVERIFY(process.waitForFinished(30000));
        QCOMPARE(process.readAllStandardError(), QByteArray());
        QCOMPARE(process.exitCode(), 0);
        QVERIFY(QFile::exists(prefix.filePath(QStringLiteral("share/numbrill/data/rv.db"))));
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
