#include "TestPaths.h"
#include "core/CodedWord.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString programFile = QStringLiteral("bin/numbrill" NUMBRILL_EXE_SUFFIX);
// Menu entry, icons and description are only for freedesktop.org desktops.
constexpr bool freedesktop = NUMBRILL_FREEDESKTOP;
const QString desktopFile = QStringLiteral("share/applications/org.example.numbrill.desktop");
const QString metainfoFile = QStringLiteral("share/metainfo/org.example.numbrill.metainfo.xml");
const QString docsDir = QStringLiteral("share/numbrill/docs/");

// Runs a program to its end: nothing when it succeeds, else what it wrote.
QByteArray failureOf(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (process.waitForFinished(240000) && process.exitStatus() == QProcess::NormalExit &&
        process.exitCode() == 0)
        return {};
    return program.toLocal8Bit() + " failed: " + process.readAll();
}

} // namespace

// Installs the build into a temporary prefix, as `cmake --install` does for a user,
// and checks what the desktop and a reader get from it: the menu entry that starts
// the installed program, the icon in every size, the software centre's description,
// and the two pages, self-contained and with examples that follow the digit code.
class TestInstalledFiles : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();

    void installed_data();
    void installed();

private:
    QString installed(const QString &relative) const { return m_prefix.filePath(relative); }
    QString read(const QString &relative) const
    {
        QFile file(installed(relative));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

    QTemporaryDir m_prefix;
};

void TestInstalledFiles::initTestCase()
{
#ifdef Q_OS_WIN
    // The install registers the program in the settings: only a registry root of the
    // test's own keeps that out of the user's real settings.
    if (!qEnvironmentVariableIsSet("NUMBRILL_REGISTRY_ROOT"))
        QSKIP("run through ctest, which gives the test a registry key of its own");
#endif
    // A staged install would put the files below DESTDIR instead.
    qunsetenv("DESTDIR");
    const QByteArray failure =
        failureOf(QStringLiteral(NUMBRILL_CMAKE_COMMAND),
                  {QStringLiteral("--install"), QString::fromUtf8(TestPaths::buildDir),
                   QStringLiteral("--prefix"), m_prefix.path()});
    QVERIFY2(failure.isEmpty(), failure.constData());
}

void TestInstalledFiles::installed_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("iconSize");
    // Patterns that lines of the file must match; %1 is the installed program.
    QTest::addColumn<QStringList>("holds");
    // A program that must accept the file, named last in its arguments. CI installs
    // the validators, so there they must run.
    QTest::addColumn<QStringList>("validator");

    const auto row = [](const QString &path, int iconSize = 0, const QStringList &holds = {},
                        const QStringList &validator = {}) {
        QTest::newRow(qPrintable(path)) << path << iconSize << holds << validator;
    };
    for (const QString &path : {programFile, docsDir + "COPYING.SCOWL", docsDir + "COPYING.WordNet",
                                docsDir + "COPYING.CMUdict", docsDir + "LICENSE",
                                docsDir + "numbrill.htm", docsDir + "howitworks.htm"})
        row(path);
    if (!freedesktop)
        return;
    // The menu entry starts the installed program; the temporary prefix has no
    // character that the entry would have to escape.
    row(desktopFile, 0, {"^Icon=numbrill$", "^Exec=\"%1\"$"}, {"desktop-file-validate"});
    // The description names the menu entry and gives this version as the newest.
    row(metainfoFile, 0,
        {"<launchable type=\"desktop-id\">org.example.numbrill.desktop<",
         "<releases>\\s*<release version=\"" NUMBRILL_VERSION "\""},
        {"appstreamcli", "validate", "--no-net"});
    row(QStringLiteral("share/icons/hicolor/scalable/apps/numbrill.svg"));
    for (const char *page : {"numbrill", "numbrill-dict", "numbrill-register"})
        row(QStringLiteral("share/man/man1/%1.1.gz").arg(QLatin1String(page)));
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256})
        row(QStringLiteral("share/icons/hicolor/%1x%1/apps/numbrill.png").arg(size), size);
}

void TestInstalledFiles::installed()
{
    QFETCH(QString, path);
    QFETCH(int, iconSize);
    QFETCH(QStringList, holds);
    QFETCH(QStringList, validator);

    QVERIFY2(QFileInfo(installed(path)).size() > 0, qPrintable(path));
    QCOMPARE(QFileInfo(installed(path)).isExecutable(), path == programFile);
    if (iconSize > 0)
        QCOMPARE(QImage(installed(path)).size(), QSize(iconSize, iconSize));
    const QString program = QRegularExpression::escape(installed(programFile));
    for (const QString &pattern : holds) {
        const QRegularExpression line(QString(pattern).replace(QStringLiteral("%1"), program),
                                      QRegularExpression::MultilineOption);
        QVERIFY2(line.match(read(path)).hasMatch(), qPrintable(line.pattern()));
    }
    if (path.endsWith(u".htm")) {
        const QString html = read(path);
        // Nothing is fetched from elsewhere: no pictures, scripts, style sheets or fonts.
        for (const char *loads : {"<img", "<script", "<link", "<iframe", "<object", "<embed",
                                  " src=", "@import", "url("})
            QVERIFY2(!html.contains(QLatin1String(loads), Qt::CaseInsensitive), loads);

        // Every link leads to a place in these pages.
        const QRegularExpression links(QStringLiteral(R"re(\bhref="([^"#]*)#?([^"]*)")re"));
        for (const QRegularExpressionMatch &link : links.globalMatch(html)) {
            const QString file =
                link.captured(1).isEmpty() ? QFileInfo(path).fileName() : link.captured(1);
            const QString anchor = QStringLiteral("id=\"%1\"").arg(link.captured(2));
            QVERIFY2((file == u"numbrill.htm" || file == u"howitworks.htm") &&
                         (link.captured(2).isEmpty() || read(docsDir + file).contains(anchor)),
                     qPrintable(link.captured()));
        }

        // Example words carry their digits in data-code, so that what the pages teach is
        // checked against the code the program applies.
        const QRegularExpression marked(
            QStringLiteral(R"re(<(\w+)[^>]*\bdata-code="([0-9]*)"[^>]*>([^<]*)</\1>)re"));
        int checked = 0;
        for (const QRegularExpressionMatch &example : marked.globalMatch(html)) {
            CodedWord word;
            word.setWord(example.captured(3));
            QCOMPARE(example.captured(3) + u'=' + word.value(),
                     example.captured(3) + u'=' + example.captured(2));
            ++checked;
        }
        QVERIFY(checked > 0);
        // A marked example that the pattern above missed would go unchecked.
        QCOMPARE(html.count(QStringLiteral("data-code=")), checked);
    }
    if (validator.isEmpty())
        return;
    const QString validate = validator.takeFirst();
    if (QStandardPaths::findExecutable(validate).isEmpty() && !qEnvironmentVariableIsSet("CI"))
        QSKIP("the validator is not installed (build.sh installs it, and CI must have it)");
    const QByteArray failure = failureOf(validate, validator << installed(path));
    QVERIFY2(failure.isEmpty(), failure.constData());
}

QTEST_GUILESS_MAIN(TestInstalledFiles)
#include "tst_installation.moc"
