#include "TestPaths.h"
#include "core/oWord.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

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
    void iconsHaveTheirSize_data();
    void iconsHaveTheirSize();
    void desktopEntryStartsTheInstalledProgram();
    void metainfoDescribesThisRelease();
    void validatorsAcceptTheFiles_data();
    void validatorsAcceptTheFiles();
    void pagesAreSelfContained_data();
    void pagesAreSelfContained();
    void pageExamplesFollowTheCode_data();
    void pageExamplesFollowTheCode();

private:
    QString installed(const QString &relative) const { return m_prefix.filePath(relative); }
    QString read(const QString &relative) const;
    QHash<QString, QString> desktopEntry() const;

    QTemporaryDir m_prefix;
};

namespace {

const QString desktopFile = QStringLiteral("share/applications/org.example.numbrill.desktop");
const QString metainfoFile = QStringLiteral("share/metainfo/org.example.numbrill.metainfo.xml");
const QString docsDir = QStringLiteral("share/numbrill/docs/");
const int iconSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};

// An Exec value holding one quoted argument, unescaped as a desktop would.
QString unquoteExec(QString value)
{
    value.replace(QStringLiteral("\\\\"), QStringLiteral("\\"));
    if (value.size() < 2 || !value.startsWith(u'"') || !value.endsWith(u'"'))
        return value;
    value = value.mid(1, value.size() - 2);
    value.replace(QRegularExpression(QStringLiteral(R"(\\(.))")), QStringLiteral("\\1"));
    return value.replace(QStringLiteral("%%"), QStringLiteral("%"));
}

} // namespace

void TestInstalledFiles::initTestCase()
{
    QVERIFY(m_prefix.isValid());
    QProcess install;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // A staged install would put the files below DESTDIR instead.
    environment.remove(QStringLiteral("DESTDIR"));
    install.setProcessEnvironment(environment);
    install.setProcessChannelMode(QProcess::MergedChannels);
    install.start(QStringLiteral(NUMBRILL_CMAKE_COMMAND),
                  {QStringLiteral("--install"), QString::fromUtf8(TestPaths::buildDir),
                   QStringLiteral("--prefix"), m_prefix.path()});
    QVERIFY(install.waitForFinished(240000));
    QVERIFY2(install.exitStatus() == QProcess::NormalExit && install.exitCode() == 0,
             install.readAll().constData());
}

QString TestInstalledFiles::read(const QString &relative) const
{
    QFile file(installed(relative));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

QHash<QString, QString> TestInstalledFiles::desktopEntry() const
{
    QHash<QString, QString> keys;
    bool inEntry = false;
    for (const QString &line : read(desktopFile).split(u'\n')) {
        if (line.startsWith(u'['))
            inEntry = line == u"[Desktop Entry]";
        else if (inEntry && line.contains(u'='))
            keys.insert(line.section(u'=', 0, 0), line.section(u'=', 1));
    }
    return keys;
}

void TestInstalledFiles::installed_data()
{
    QTest::addColumn<QString>("path");

    QTest::newRow("program") << "bin/numbrill";
    QTest::newRow("desktop entry") << desktopFile;
    QTest::newRow("metainfo") << metainfoFile;
    QTest::newRow("scalable icon") << "share/icons/hicolor/scalable/apps/numbrill.svg";
    QTest::newRow("manual") << docsDir + "numbrill.htm";
    QTest::newRow("how it works") << docsDir + "howitworks.htm";
    QTest::newRow("SCOWL notice") << docsDir + "COPYING.SCOWL";
    QTest::newRow("WordNet licence") << docsDir + "COPYING.WordNet";
}

void TestInstalledFiles::installed()
{
    QFETCH(QString, path);
    QVERIFY2(QFileInfo(installed(path)).size() > 0, qPrintable(path));
}

void TestInstalledFiles::iconsHaveTheirSize_data()
{
    QTest::addColumn<int>("size");
    for (const int size : iconSizes)
        QTest::addRow("%dx%d", size, size) << size;
}

void TestInstalledFiles::iconsHaveTheirSize()
{
    QFETCH(int, size);
    const QImage icon(
        installed(QStringLiteral("share/icons/hicolor/%1x%1/apps/numbrill.png").arg(size)));
    QVERIFY(!icon.isNull());
    QCOMPARE(icon.size(), QSize(size, size));
}

void TestInstalledFiles::desktopEntryStartsTheInstalledProgram()
{
    const QHash<QString, QString> entry = desktopEntry();
    QCOMPARE(entry.value(QStringLiteral("Type")), QStringLiteral("Application"));
    QCOMPARE(entry.value(QStringLiteral("Name")), QStringLiteral("Numbrill"));
    QCOMPARE(entry.value(QStringLiteral("Icon")), QStringLiteral("numbrill"));
    QVERIFY(entry.value(QStringLiteral("Categories")).split(u';').contains(u"Education"));

    const QFileInfo program(unquoteExec(entry.value(QStringLiteral("Exec"))));
    QVERIFY2(program.isExecutable(), qPrintable(program.filePath()));
    QCOMPARE(program.canonicalFilePath(),
             QFileInfo(installed(QStringLiteral("bin/numbrill"))).canonicalFilePath());
}

void TestInstalledFiles::metainfoDescribesThisRelease()
{
    const QString metainfo = read(metainfoFile);
    QVERIFY(metainfo.contains(QStringLiteral("<launchable type=\"desktop-id\">%1</launchable>")
                                  .arg(QFileInfo(desktopFile).fileName())));
    QVERIFY(metainfo.contains(
        QStringLiteral("<id>%1</id>").arg(QFileInfo(desktopFile).completeBaseName())));
    const QRegularExpressionMatch newest =
        QRegularExpression(QStringLiteral(R"re(<release version="([^"]+)")re")).match(metainfo);
    QVERIFY(newest.hasMatch());
    QCOMPARE(newest.captured(1), QStringLiteral(NUMBRILL_VERSION));
}

void TestInstalledFiles::validatorsAcceptTheFiles_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QStringList>("arguments");

    QTest::newRow("desktop entry")
        << "desktop-file-validate" << QStringList{installed(desktopFile)};
    QTest::newRow("metainfo") << "appstreamcli"
                              << QStringList{"validate", "--no-net", installed(metainfoFile)};
}

void TestInstalledFiles::validatorsAcceptTheFiles()
{
    QFETCH(QString, program);
    QFETCH(QStringList, arguments);

    const QString found = QStandardPaths::findExecutable(program);
    if (found.isEmpty()) {
        if (qEnvironmentVariableIsSet("CI"))
            QFAIL(qPrintable(program + QStringLiteral(" is missing; build.sh installs it")));
        QSKIP(qPrintable(program + QStringLiteral(" is not installed")));
    }
    QProcess validator;
    validator.setProcessChannelMode(QProcess::MergedChannels);
    validator.start(found, arguments);
    QVERIFY(validator.waitForFinished(60000));
    QVERIFY2(validator.exitStatus() == QProcess::NormalExit && validator.exitCode() == 0,
             validator.readAll().constData());
}

void TestInstalledFiles::pagesAreSelfContained_data()
{
    QTest::addColumn<QString>("page");
    QTest::newRow("manual") << "numbrill.htm";
    QTest::newRow("how it works") << "howitworks.htm";
}

void TestInstalledFiles::pagesAreSelfContained()
{
    QFETCH(QString, page);
    const QString html = read(docsDir + page);
    QVERIFY(html.startsWith(QStringLiteral("<!DOCTYPE html>")));
    QVERIFY(html.contains(QStringLiteral("<meta charset=\"utf-8\">")));
    QVERIFY(html.contains(QStringLiteral("<style>")));
    QVERIFY(QRegularExpression(QStringLiteral("<title>[^<]+</title>")).match(html).hasMatch());

    // Nothing is fetched from elsewhere: no pictures, scripts, style sheets or fonts.
    for (const char *loads :
         {"<img", "<script", "<link", "<iframe", "<object", "<embed", " src=", "@import", "url("}) {
        QVERIFY2(!html.contains(QLatin1String(loads), Qt::CaseInsensitive), loads);
    }

    QSet<QString> ids;
    QRegularExpressionMatchIterator id =
        QRegularExpression(QStringLiteral(R"re(\bid="([^"]+)")re")).globalMatch(html);
    while (id.hasNext()) {
        const QString name = id.next().captured(1);
        QVERIFY2(!ids.contains(name), qPrintable(QStringLiteral("two ids ") + name));
        ids.insert(name);
    }

    // Every link leads to a place in these pages.
    QRegularExpressionMatchIterator link =
        QRegularExpression(QStringLiteral(R"re(\bhref="([^"]*)")re")).globalMatch(html);
    int links = 0;
    while (link.hasNext()) {
        ++links;
        const QString target = link.next().captured(1);
        const QString file = target.section(u'#', 0, 0);
        const QString anchor = target.section(u'#', 1);
        QVERIFY2(file.isEmpty() || file == u"numbrill.htm" || file == u"howitworks.htm",
                 qPrintable(target));
        if (anchor.isEmpty())
            continue;
        const QString other = read(docsDir + (file.isEmpty() ? page : file));
        QVERIFY2(other.contains(QStringLiteral("id=\"%1\"").arg(anchor)), qPrintable(target));
    }
    QVERIFY(links > 0);
}

void TestInstalledFiles::pageExamplesFollowTheCode_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<int>("atLeast");
    QTest::newRow("manual") << "numbrill.htm" << 10;
    QTest::newRow("how it works") << "howitworks.htm" << 30;
}

void TestInstalledFiles::pageExamplesFollowTheCode()
{
    QFETCH(QString, page);
    QFETCH(int, atLeast);

    // Example words carry their digits in data-code, so that what the pages teach is
    // checked against the code the program applies.
    const QString html = read(docsDir + page);
    QRegularExpressionMatchIterator example =
        QRegularExpression(
            QStringLiteral(R"re(<(\w+)[^>]*\bdata-code="([0-9]*)"[^>]*>([^<]*)</\1>)re"))
            .globalMatch(html);
    int examples = 0;
    while (example.hasNext()) {
        const QRegularExpressionMatch match = example.next();
        oWord word;
        word.setWord(match.captured(3));
        QVERIFY2(word.value() == match.captured(2),
                 qPrintable(QStringLiteral("%1 gives %2, not %3")
                                .arg(match.captured(3), word.value(), match.captured(2))));
        ++examples;
    }
    QVERIFY2(examples >= atLeast, qPrintable(QString::number(examples)));
    // A marked example that the pattern above missed would go unchecked.
    QCOMPARE(html.count(QStringLiteral("data-code=")), examples);
}

QTEST_GUILESS_MAIN(TestInstalledFiles)
#include "tst_installation.moc"
