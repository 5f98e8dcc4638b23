#include "core/AppInfo.h"
#include "settings/Registry.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

// Reads and writes the settings file the way the installer, the program and a user
// editing it by hand would see it.
class TestRegistry : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void read_data();
    void read();
    void failedReadAfterGoodRead();
    void write_data();
    void write();
    void keyPaths_data();
    void keyPaths();
    void configFolder_data();
    void configFolder();

private:
    QString configPath(const QString &relative = {}) const
    {
        return m_dir->filePath(QStringLiteral("config/") + relative);
    }
    void putFile(const QByteArray &bytes);
    QByteArray fileBytes() const;

    std::unique_ptr<QTemporaryDir> m_dir;
};

namespace {
const QString key = QString::fromLatin1(AppInfo::settingsPath);
const QString installDir = QString::fromLatin1(AppInfo::installDirSetting);
const QString firstTime = QString::fromLatin1(AppInfo::firstTimeSetting);
const QString unknown = QString::fromLatin1(Registry::unknownValue);
} // namespace

void TestRegistry::init()
{
    // The configuration folder lies one level down, so a write that escapes it shows.
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(configPath()));
}

void TestRegistry::putFile(const QByteArray &bytes)
{
    QVERIFY(QDir().mkpath(configPath()));
    QFile file(configPath("kerravane.conf"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray TestRegistry::fileBytes() const
{
    QFile file(configPath("kerravane.conf"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void TestRegistry::read_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("expected");

    const QByteArray a254(254, 'a');
    QTest::newRow("no such name") << QByteArray("firsttime=yes\n") << unknown;
    QTest::newRow("empty file") << QByteArray() << unknown;
    QTest::newRow("empty value") << QByteArray("instaldir=\n") << "";
    QTest::newRow("254 characters") << "instaldir=" + a254 << QString::fromLatin1(a254);
    QTest::newRow("255 characters") << "instaldir=" + a254 + "b\n" << unknown;
    QTest::newRow("rest of the line") << QByteArray("instaldir=a=b \n") << "a=b ";
    QTest::newRow("name without value") << QByteArray("instaldir\n") << unknown;
    QTest::newRow("name in other case") << QByteArray("InstalDIR=/opt\n") << "/opt";
    QTest::newRow("last one wins") << QByteArray("instaldir=/a\nINSTALDIR=/b\nx=y\n") << "/b";
    QTest::newRow("last one broken") << QByteArray("instaldir=/a\ninstaldir=\xff\n") << unknown;
    QTest::newRow("CR LF") << QByteArray("firsttime=no\r\ninstaldir=/opt\r\n") << "/opt";
    QTest::newRow("CR inside value") << QByteArray("instaldir=a\rb\r\n") << "a\rb";
    QTest::newRow("byte order mark") << QByteArray("\xef\xbb\xbfinstaldir=/opt\n") << "/opt";
    QTest::newRow("invalid byte") << QByteArray("instaldir=/\xff\n") << unknown;
    QTest::newRow("overlong") << QByteArray("instaldir=\xc0\xaf\n") << unknown;
    QTest::newRow("surrogate") << QByteArray("instaldir=\xed\xa0\x80\n") << unknown;
    QTest::newRow("cut off at end") << QByteArray("instaldir=/\xe2\x82") << unknown;
    QTest::newRow("broken other line") << QByteArray("\xff=\xff\ninstaldir=/opt\n") << "/opt";
}

void TestRegistry::read()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, expected);
    putFile(file);
    QCOMPARE(Registry::GetRegValue(key, installDir), expected);
}

void TestRegistry::failedReadAfterGoodRead()
{
    QCOMPARE(Registry::GetRegValue(key, installDir), unknown);
    putFile("instaldir=/opt/kerravane\nfirsttime=" + QByteArray(255, 'x') + '\n');
    QCOMPARE(Registry::GetRegValue(key, installDir), "/opt/kerravane");
    QCOMPARE(Registry::GetRegValue(key, firstTime), unknown);
    QCOMPARE(Registry::GetRegValue(key, "nothing"), unknown);
}

void TestRegistry::write_data()
{
    QTest::addColumn<QByteArray>("before"); // null: no file
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("after"); // null: no file

    const QByteArray other("# kept\n[odd line]\ninstaldir=/opt\n\nx\xff=\xfe\n");
    // Stored as they are: other programs read this file.
    QStringList values{"/opt/kerravane",   "a,b,,c",  R"(C:\Program Files\K\)",
                       "%APPDATA%\\x%20y", "a=b==c=", "  padded\t ",
                       "\"#;[x]",          ""};
    values << QStringLiteral("Zürich/日本語/😀") << QString(254, u'ä')
           << QChar(0xfeff) + QString("x");
    for (const QString &value : values)
        QTest::addRow("value %s", qPrintable(value.left(20)))
            << QByteArray() << installDir << value << "instaldir=" + value.toUtf8() + '\n';
    QTest::newRow("appended") << other << firstTime << "no" << other + "firsttime=no\n";
    QTest::newRow("updated in place") << "a=1\nfirsttime=yes\n" + other << firstTime << "no"
                                      << "a=1\nfirsttime=no\n" + other;
    QTest::newRow("last one updated") << QByteArray("FirstTime=1\nFIRSTTIME=2\nb\n") << firstTime
                                      << "no" << QByteArray("FirstTime=1\nFIRSTTIME=no\nb\n");
    QTest::newRow("no final line end")
        << QByteArray("a=1") << firstTime << "no" << QByteArray("a=1\nfirsttime=no\n");
    QTest::newRow("CR LF lines kept") << QByteArray("a=1\r\nfirsttime=yes\r\nb\r\n") << firstTime
                                      << "no" << QByteArray("a=1\r\nfirsttime=no\nb\r\n");
    const QByteArray bom("\xef\xbb\xbf");
    QTest::newRow("byte order mark kept") << bom + "firsttime=yes\n"
                                          << firstTime << "no" << bom + "firsttime=no\n";

    // Values and names the file cannot hold leave it as it was.
    const QByteArray kept("firsttime=yes\n");
    QTest::newRow("LF in value") << kept << firstTime << "a\nx=y" << kept;
    QTest::newRow("CR in value") << kept << firstTime << "a\r" << kept;
    QTest::newRow("NUL in value") << kept << firstTime << QStringView(u"a\0b", 3).toString()
                                  << kept;
    QTest::newRow("lone surrogate") << kept << firstTime << QString(QChar(0xd800)) << kept;
    for (const QString name : {"first=time", "first\ntime", ""})
        QTest::addRow("name %s", qPrintable(name)) << kept << name << QString("no") << kept;
    QTest::newRow("nothing created") << QByteArray() << firstTime << "a\nb" << QByteArray();
}

void TestRegistry::write()
{
    QFETCH(QByteArray, before);
    QFETCH(QString, name);
    QFETCH(QString, value);
    QFETCH(QByteArray, after);
    if (!before.isNull())
        putFile(before);
    Registry::SetRegValue(key, name, value);
    QCOMPARE(QFile::exists(configPath("kerravane.conf")), !after.isNull());
    QCOMPARE(fileBytes(), after);
    if (after != before)
        QCOMPARE(Registry::GetRegValue(key, name), value);
}

void TestRegistry::keyPaths_data()
{
    QTest::addColumn<QString>("keyPath");
    QTest::addColumn<QString>("file"); // empty: refused

    const struct
    {
        const char *row, *keyPath, *file;
    } cases[] = {
        {"program key", R"(software\kerravane)", "kerravane.conf"},
        {"other case", R"(SOFTWARE\kerravane)", "kerravane.conf"},
        {"deeper", R"(software\a\b)", "a/b.conf"},
        {"parent", R"(software\..\evil)", ""},
        {"parent deeper", R"(software\a\..\..\evil)", ""},
        {"slash", R"(software\../evil)", ""},
        {"dot", R"(software\.\kerravane)", ""},
        {"empty part", R"(software\\kerravane)", ""},
        {"root only", R"(software\)", ""},
        {"no root", R"(kerravane)", ""},
    };
    for (const auto &c : cases)
        QTest::newRow(c.row) << QString(c.keyPath) << QString(c.file);
}

void TestRegistry::keyPaths()
{
    QFETCH(QString, keyPath);
    QFETCH(QString, file);

    // Where "..\evil" would land, with a value a read must not see.
    QVERIFY(QDir().mkpath(configPath()));
    QFile evil(m_dir->filePath("evil.conf"));
    QVERIFY(evil.open(QIODevice::WriteOnly));
    evil.write("firsttime=secret\n");
    evil.close();

    Registry::SetRegValue(keyPath, firstTime, "no");
    QStringList written;
    QDirIterator it(m_dir->path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        written << QDir(m_dir->path()).relativeFilePath(it.next());
    written.sort();

    if (file.isEmpty()) {
        QCOMPARE(written, QStringList{"evil.conf"});
        QCOMPARE(Registry::GetRegValue(keyPath, firstTime), unknown);
    } else {
        QCOMPARE(written, (QStringList{"config/" + file, "evil.conf"}));
        QCOMPARE(Registry::GetRegValue(keyPath, firstTime), "no");
    }
    QVERIFY(evil.open(QIODevice::ReadOnly));
    QCOMPARE(evil.readAll(), "firsttime=secret\n");
}

void TestRegistry::configFolder_data()
{
    QTest::addColumn<bool>("set");
    QTest::addColumn<bool>("absolute"); // below the test folder
    QTest::addColumn<QString>("xdgConfigHome");
    QTest::addColumn<QString>("file");

    const QString home("home/.config/kerravane.conf");
    QTest::newRow("not there yet") << true << true << QString("x/y") << "x/y/kerravane.conf";
    QTest::newRow("empty") << true << false << QString() << home;
    QTest::newRow("relative") << true << false << QString("xdg") << home;
    QTest::newRow("unset") << false << false << QString() << home;
}

void TestRegistry::configFolder()
{
    QFETCH(bool, set);
    QFETCH(bool, absolute);
    QFETCH(QString, xdgConfigHome);
    QFETCH(QString, file);

    // A relative folder would resolve against the working folder, so make that one ours.
    const QByteArray oldHome = qgetenv("HOME");
    const QString oldCurrent = QDir::currentPath();
    qputenv("HOME", QFile::encodeName(m_dir->filePath("home")));
    QVERIFY(QDir::setCurrent(m_dir->path()));
    if (set)
        qputenv("XDG_CONFIG_HOME",
                QFile::encodeName(absolute ? m_dir->filePath(xdgConfigHome) : xdgConfigHome));
    else
        qunsetenv("XDG_CONFIG_HOME");

    Registry::SetRegValue(key, firstTime, "yes");
    const QString value = Registry::GetRegValue(key, firstTime);
    qputenv("HOME", oldHome);
    QDir::setCurrent(oldCurrent);
    QCOMPARE(value, "yes");
    QDirIterator it(m_dir->path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    QVERIFY(it.hasNext());
    QCOMPARE(it.next(), m_dir->filePath(file));
    QVERIFY(!it.hasNext());
}

QTEST_GUILESS_MAIN(TestRegistry)
#include "tst_registry.moc"
