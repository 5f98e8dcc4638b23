#include "core/Cp1252.h"
#include "core/QuotedLineFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestTextFiles : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void codePageCharacters_data();
    void codePageCharacters();
    void parse_data();
    void parse();
    void writeIsByteExact();
    void writeRefusesWhatWouldNotReadBack_data();
    void writeRefusesWhatWouldNotReadBack();
    void leftoversOfKilledWrites();
};

void TestTextFiles::codePageCharacters_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("euro") << QStringLiteral("\u20ac") << QByteArray("\x80");
    QTest::newRow("undefined 81") << QStringLiteral("\u0081") << QByteArray("\x81");
    QTest::newRow("undefined 8D 8F 90 9D")
        << QStringLiteral("\u008d\u008f\u0090\u009d") << QByteArray("\x8d\x8f\x90\x9d");
    QTest::newRow("quotes and dashes")
        << QStringLiteral("\u201c\u2013\u201d") << QByteArray("\x93\x96\x94");
    QTest::newRow("Y diaeresis") << QStringLiteral("\u0178") << QByteArray("\x9f");
    QTest::newRow("latin-1 upper half") << QStringLiteral("\u00e9\u00ff") << QByteArray("\xe9\xff");
}

void TestTextFiles::codePageCharacters()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);

    QCOMPARE(Cp1252::decode(bytes), text);
    QCOMPARE(Cp1252::encode(text), bytes);
}

void TestTextFiles::parse_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("fields");

    QTest::newRow("empty file") << QByteArray() << QStringList();
    QTest::newRow("crlf") << QByteArray("\"12:tan:\"\r\n\"13:\"\r\n")
                          << QStringList{"12:tan:", "13:"};
    QTest::newRow("lf") << QByteArray("\"a\"\n\"b\"\n") << QStringList{"a", "b"};
    QTest::newRow("lone cr") << QByteArray("\"a\"\r\"b\"\r\n\"c\"\r") << QStringList{"a", "b", "c"};
    QTest::newRow("no final line end") << QByteArray("\"a\"\r\n\"b\"") << QStringList{"a", "b"};
    QTest::newRow("comma is text") << QByteArray("\"1,2\"\r\n") << QStringList{"1,2"};
    QTest::newRow("text after the closing quote") << QByteArray("\"a\"b\"\r\n") << QStringList{"a"};
    QTest::newRow("no closing quote") << QByteArray("\"abc\r\n") << QStringList{"abc"};
    QTest::newRow("unquoted line") << QByteArray("Numbrill\r\n") << QStringList{"Numbrill"};
    QTest::newRow("empty lines") << QByteArray("\r\n\n\"\"\r\n") << QStringList{"", "", ""};
    QTest::newRow("code page") << QByteArray("\"\x80 caf\xe9\"\r\n")
                               << QStringList{QStringLiteral("\u20ac caf\u00e9")};
}

void TestTextFiles::parse()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, fields);

    QCOMPARE(QuotedLineFile::parse(bytes), fields);
}

void TestTextFiles::writeIsByteExact()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("out.db"));
    const QStringList fields{QStringLiteral("314:pi start: meter"), QString(),
                             QStringLiteral("\u20ac,1")};
    QVERIFY(QuotedLineFile::write(path, fields));

    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("\"314:pi start: meter\"\r\n\"\"\r\n\"\x80,1\"\r\n"));
    QCOMPARE(QuotedLineFile::read(path), fields);
}

void TestTextFiles::writeRefusesWhatWouldNotReadBack_data()
{
    QTest::addColumn<QString>("field");
    QTest::newRow("quote") << QStringLiteral("say \"hi\"");
    QTest::newRow("line feed") << QStringLiteral("a\nb");
    QTest::newRow("carriage return") << QStringLiteral("a\rb");
    QTest::newRow("outside the code page") << QStringLiteral("\u03c0");
}

void TestTextFiles::writeRefusesWhatWouldNotReadBack()
{
    QFETCH(QString, field);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("list.db"));
    QVERIFY(QuotedLineFile::write(path, {QStringLiteral("old")}));

    QString error;
    QVERIFY(!QuotedLineFile::canWrite(field));
    QVERIFY(!QuotedLineFile::write(path, {QStringLiteral("new"), field}, &error));
    QVERIFY(!error.isEmpty());
    QCOMPARE(QuotedLineFile::read(path), QStringList{QStringLiteral("old")});
}

QTEST_GUILESS_MAIN(TestTextFiles)
// Only the temporaries of the named files go: anything else in the folder is the
// user's.
void TestTextFiles::leftoversOfKilledWrites()
{
    QTemporaryDir folder;
    const QStringList left{"rv.db.aB3xYz", "RV.DB.abcdef", "rv2.db.123456"};
    const QStringList kept{"rv.db",        "rv.db.12345",   "rv.db.1234567",
                           "rv.dbx123456", "xrv.db.123456", "ranks.db.abcdef"};
    for (const QString &name : left + kept)
        QVERIFY(QFile(folder.filePath(name)).open(QIODevice::WriteOnly));
    QuotedLineFile::removeLeftovers(folder.path(), {"rv.db", "rv2.db"});
    QStringList remaining = QDir(folder.path()).entryList(QDir::Files);
    QStringList expected = kept;
    remaining.sort();
    expected.sort();
    QCOMPARE(remaining, expected);
}

#include "tst_textfiles.moc"
