#include "core/AppInfo.h"
#include "settings/Registry.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

const QString key = QString::fromLatin1(AppInfo::settingsPath);
const QString installDir = QString::fromLatin1(AppInfo::installDirSetting);
const QString firstTime = QString::fromLatin1(AppInfo::firstTimeSetting);
const QString unknown = QStringLiteral("Unknown");

void putFile(const QString &path, const QByteArray &bytes)
{
    QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// Every file below a folder, relative to it.
QStringList filesBelow(const QString &root)
{
    QStringList found;
    QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        found << QDir(root).relativeFilePath(it.next());
    found.sort();
    return found;
}

} // namespace

// Reads and writes the settings file the way the installer, the program and a user
// editing it by hand would see it.
class TestRegistry : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void read_data();
    void read();
    void write_data();
    void write();
    void unsafeKeyPaths_data();
    void unsafeKeyPaths();
    void relativeConfigFolderIsIgnored();

private:
    QString configFile() const { return m_dir->filePath(QStringLiteral("config/kerravane.conf")); }
    QStringList files() const { return filesBelow(m_dir->path()); }

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestRegistry::init()
{
    // The configuration folder lies one level down, so a write that escapes it shows.
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir->filePath(QStringLiteral("config"))));
}

void TestRegistry::read_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("expected");

    const QByteArray a254(254, 'a');
    QTest::newRow("no such name") << QByteArray("first=yes\n") << unknown;
    QTest::newRow("empty value") << QByteArray("instaldir=\n") << "";
    QTest::newRow("254 characters") << "instaldir=" + a254 << QString::fromLatin1(a254);
    QTest::newRow("255 characters") << "instaldir=" + a254 + "b\n" << unknown;
    QTest::newRow("last one wins, any case")
        << QByteArray("instaldir=/a\nINSTALDIR=/b\nx=y\n") << "/b";
    QTest::newRow("last one broken") << QByteArray("instaldir=/a\ninstaldir=\xff\n") << unknown;
    QTest::newRow("cut off at end") << QByteArray("instaldir=/\xe2\x82") << unknown;
    QTest::newRow("broken other line") << QByteArray("\xff=\xff\ninstaldir=/opt\n") << "/opt";
    QTest::newRow("CR LF") << QByteArray("a=1\r\ninstaldir=/opt\r\n") << "/opt";
}

void TestRegistry::read()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, expected);
    QCOMPARE(Registry::GetRegValue(key, installDir), unknown); // no file yet
    // Each read stands on its own: a good one just before must not show through.
    putFile(configFile(), "firsttime=no\n" + file);
    QCOMPARE(Registry::GetRegValue(key, firstTime), "no");
    QCOMPARE(Registry::GetRegValue(key, installDir), expected);
}

void TestRegistry::write_data()
{
    QTest::addColumn<QByteArray>("before"); // null: no file
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("after"); // null: no file

    // Stored as they are: other programs read this file.
    QStringList values = QStringLiteral("a,b,,c|C:\\Program Files\\K\\|%APPDATA%\\x%20y|a=b==c=|"
                                        "  padded\t |\"#;[x]|Zürich/日本語/😀")
                             .split(u'|');
    values << QString(254, u'ä') << QChar(0xfeff) + QString("x");
    for (const QString &value : values)
        QTest::addRow("value %s", qPrintable(value.left(20)))
            << QByteArray() << installDir << value << "instaldir=" + value.toUtf8() + '\n';

    const QByteArray other("# kept\n[odd line]\ninstaldir=/opt\n\nx\xff=\xfe\n");
    QTest::newRow("last one updated in place") << "FirstTime=1\n" + other + "FIRSTTIME=2\nb\n"
                                               << firstTime << "no"
                                               << "FirstTime=1\n" + other + "FIRSTTIME=no\nb\n";
    QTest::newRow("CR LF lines kept") << QByteArray("a=1\r\nfirsttime=yes\r\nb\r\n") << firstTime
                                      << "no" << QByteArray("a=1\r\nfirsttime=no\nb\r\n");
    const QByteArray bom("\xef\xbb\xbf");
    QTest::newRow("appended after byte order mark and last line")
        << bom + "a=1" << firstTime << "no" << bom + "a=1\nfirsttime=no\n";

    // Values and names the file cannot hold leave it as it was, or absent.
    const QByteArray kept("firsttime=yes\n");
    const QStringList refused{"a\nx=y", "a\r", QStringView(u"a\0b", 3).toString(), QChar(0xd800)};
    for (const QString &value : refused)
        QTest::addRow("refused value %s", value.toUtf8().toPercentEncoding().constData())
            << kept << firstTime << value << kept;
    for (const QString &name : QStringList{"first=time", "first\ntime", ""})
        QTest::addRow("refused name %s", name.toUtf8().toPercentEncoding().constData())
            << kept << name << QString("no") << kept;
    QTest::newRow("nothing created") << QByteArray() << firstTime << "a\nb" << QByteArray();
}

void TestRegistry::write()
{
    QFETCH(QByteArray, before);
    QFETCH(QString, name);
    QFETCH(QString, value);
    QFETCH(QByteArray, after);
    if (!before.isNull())
        putFile(configFile(), before);
    Registry::SetRegValue(key, name, value);
    QCOMPARE(QFile::exists(configFile()), !after.isNull());
    QFile file(configFile());
    QCOMPARE(file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray(), after);
    if (after != before)
        QCOMPARE(Registry::GetRegValue(key, name), value);
}

void TestRegistry::unsafeKeyPaths_data()
{
    QTest::addColumn<QString>("keyPath");
    for (const char *keyPath : {R"(software\..\evil)", R"(software\../evil)", "kerravane"})
        QTest::newRow(keyPath) << QString(keyPath);
}

void TestRegistry::unsafeKeyPaths()
{
    QFETCH(QString, keyPath);

    // Where "..\evil" would land, with a value a read must not see. The configuration
    // folder exists, so a path through it resolves.
    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("config")));
    putFile(m_dir->filePath(QStringLiteral("evil.conf")), "firsttime=secret\n");
    Registry::SetRegValue(keyPath, firstTime, "no");
    QCOMPARE(files(), QStringList{"evil.conf"});
    QCOMPARE(Registry::GetRegValue(keyPath, firstTime), unknown);
    QCOMPARE(Registry::location(keyPath), QString());
}

void TestRegistry::relativeConfigFolderIsIgnored()
{
    // It would resolve against the working folder, so make that one ours.
    const QByteArray oldHome = qgetenv("HOME");
    const QString oldCurrent = QDir::currentPath();
    qputenv("HOME", QFile::encodeName(m_dir->filePath("home")));
    qputenv("XDG_CONFIG_HOME", "xdg");
    QVERIFY(QDir::setCurrent(m_dir->path()));

    Registry::SetRegValue(key, firstTime, "yes");
    const QString value = Registry::GetRegValue(key, firstTime);
    const QString location = Registry::location(key);
    qputenv("HOME", oldHome);
    QDir::setCurrent(oldCurrent);
    QCOMPARE(value, "yes");
    QCOMPARE(files(), QStringList{"home/.config/kerravane.conf"});
    // What the user is told is the file actually used.
    QCOMPARE(location, QDir::toNativeSeparators(m_dir->filePath("home/.config/kerravane.conf")));
}

QTEST_GUILESS_MAIN(TestRegistry)
#include "tst_registry.moc"
