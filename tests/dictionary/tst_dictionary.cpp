#include "TestPaths.h"
#include "dictionary/Dictionary.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString fixtureDir = QString::fromUtf8(TestPaths::dataDir) + QStringLiteral("/dictionary");

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// A copy of the fixture dictionary in a temporary installation folder, for tests
// that damage one of its files.
struct Installation
{
    QTemporaryDir dir;

    Installation()
    {
        QDir().mkpath(dir.filePath(QStringLiteral("data")));
        QFile::copy(fixtureDir + QStringLiteral("/data/num1.db"), wordFile());
        QFile::copy(fixtureDir + QStringLiteral("/data/num.db"), indexFile());
    }
    QString path() const { return dir.path(); }
    QString wordFile() const { return dir.filePath(QStringLiteral("data/num1.db")); }
    QString indexFile() const { return dir.filePath(QStringLiteral("data/num.db")); }
};

} // namespace

class TestDictionary : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void lookup_data();
    void lookup();
    void shortKeyBlockHoldsRecordAndNext();
    void slotOf_data();
    void slotOf();
    void recordKey_data();
    void recordKey();
    void wordsInBlock_data();
    void wordsInBlock();
    void buildIndexIsByteExact();
    void buildIndexStoresOnlyGroupsItRead();
    void indexLinesThatAreNoPosition();
    void missingFiles();
    void wordFileWithoutTerminator();
    void truncatedWordFile();
    void positionPastTheEnd();
    void bareLineFeeds();
};

void TestDictionary::lookup_data()
{
    QTest::addColumn<QString>("digits");
    QTest::addColumn<QStringList>("words");

    QTest::newRow("one digit") << "1" << QStringList{"tea", "toe"};
    QTest::newRow("first record of the file") << "0" << QStringList{"sea", "sow"};
    QTest::newRow("two digits") << "12" << QStringList{"tan", "tin", "ton", "tuna"};
    QTest::newRow("three digits") << "914" << QStringList{"butter"};
    QTest::newRow("four digits in group 914") << "9140" << QStringList{"butters"};
    QTest::newRow("exact record missing, longer keys present") << "123" << QStringList{};
    QTest::newRow("key merely ending with the digits") << "1234" << QStringList{"tinmar"};
    QTest::newRow("long key") << "1231234" << QStringList{"tenmatinmar"};
    QTest::newRow("record without words") << "000" << QStringList{};
    QTest::newRow("group slot 0") << "5" << QStringList{};
    QTest::newRow("group slot 0, longer") << "5555" << QStringList{};
    QTest::newRow("unknown key in a known group") << "9141" << QStringList{};
    QTest::newRow("last group before the terminator") << "999" << QStringList{"bebop", "baobab"};
    QTest::newRow("empty") << "" << QStringList{};
}

void TestDictionary::lookup()
{
    QFETCH(QString, digits);
    QFETCH(QStringList, words);

    Dictionary dictionary(fixtureDir);
    dictionary.loadIndex();
    QString problem;
    QCOMPARE(dictionary.lookupWords(digits, &problem), words);
    QVERIFY(problem.isEmpty());
}

void TestDictionary::shortKeyBlockHoldsRecordAndNext()
{
    Dictionary dictionary(fixtureDir);
    dictionary.loadIndex();
    QCOMPARE(dictionary.readBlock(QStringLiteral("12")),
             QStringLiteral("\"12:tan:tin:ton:tuna:\"\"1230:dynamos:\""));
    QCOMPARE(dictionary.readBlock(QStringLiteral("1234")),
             QStringLiteral("\"1230:dynamos:\"\"1231234:tenmatinmar:\"\"1234:tinmar:\""
                            "\"124:tenor:\""));
    QCOMPARE(dictionary.readBlock(QStringLiteral("5")), QString());
}

void TestDictionary::slotOf_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("slot");

    QTest::newRow("0") << "0" << 0;
    QTest::newRow("9") << "9" << 9;
    QTest::newRow("00") << "00" << 10;
    QTest::newRow("99") << "99" << 109;
    QTest::newRow("000") << "000" << 110;
    QTest::newRow("999") << "999" << 1109;
    QTest::newRow("four digits") << "1234" << -1;
    QTest::newRow("terminator") << "~" << -1;
    QTest::newRow("empty") << "" << -1;
    QTest::newRow("letters") << "1a" << -1;
}

void TestDictionary::slotOf()
{
    QFETCH(QString, key);
    QFETCH(int, slot);
    QCOMPARE(Dictionary::slotOf(key), slot);
}

void TestDictionary::recordKey_data()
{
    QTest::addColumn<QString>("record");
    QTest::addColumn<QString>("key");

    QTest::newRow("short") << "\"12:tan:\""
                           << "12";
    QTest::newRow("cut to three") << "\"1231234:x:\""
                                  << "123";
    QTest::newRow("terminator") << "\"~:\""
                                << "~";
    QTest::newRow("no colon") << "\"12345"
                              << "123";
}

void TestDictionary::recordKey()
{
    QFETCH(QString, record);
    QFETCH(QString, key);
    QCOMPARE(Dictionary::recordKey(record), key);
}

void TestDictionary::wordsInBlock_data()
{
    QTest::addColumn<QString>("block");
    QTest::addColumn<QString>("digits");
    QTest::addColumn<QStringList>("words");
    QTest::addColumn<bool>("reported");

    QTest::newRow("empty words between colons") << "\"12:tan::tin:\"\"13:x:\""
                                                << "12" << QStringList{"tan", "", "tin"} << false;
    QTest::newRow("text after the last colon is no word") << "\"12:tan:tin\"\"13:x:\""
                                                          << "12" << QStringList{"tan"} << false;
    QTest::newRow("stops at its closing quote") << "\"12:tan:\"\"13:x:\""
                                                << "12" << QStringList{"tan"} << false;
    QTest::newRow("damaged record") << "\"12"
                                    << "12" << QStringList{} << true;
    QTest::newRow("empty block") << ""
                                 << "12" << QStringList{} << false;
}

void TestDictionary::wordsInBlock()
{
    QFETCH(QString, block);
    QFETCH(QString, digits);
    QFETCH(QStringList, words);
    QFETCH(bool, reported);

    QString problem;
    QCOMPARE(Dictionary::wordsInBlock(block, digits, &problem), words);
    QCOMPARE(!problem.isEmpty(), reported);
    if (reported)
        QCOMPARE(problem, digits + QStringLiteral(" not found in block -") + block.mid(1));
}

void TestDictionary::buildIndexIsByteExact()
{
    QTemporaryDir dir;
    const QString index = dir.filePath(QStringLiteral("num.db"));
    QVERIFY(Dictionary::buildIndex(fixtureDir + QStringLiteral("/data/num1.db"), index));
    const QByteArray built = readAll(index);
    QCOMPARE(built, readAll(fixtureDir + QStringLiteral("/data/num.db")));
    QCOMPARE(built.count("\r\n"), Dictionary::slotCount);
}

void TestDictionary::buildIndexStoresOnlyGroupsItRead()
{
    Installation install;
    QVERIFY(writeAll(install.wordFile(), "\"12:tan:\"\r\n\"13:tam:\"\r\n\"~:\"\r\n"));
    QVERIFY(Dictionary::buildIndex(install.wordFile(), install.indexFile()));

    Dictionary dictionary(install.path());
    dictionary.loadIndex();
    for (int slot = 0; slot < Dictionary::slotCount; ++slot) {
        const qint32 expected = slot == 22 ? 1 : slot == 23 ? 12 : 0;
        QCOMPARE(dictionary.blockIndex().at(slot), expected);
    }
    QCOMPARE(dictionary.lookupWords(QStringLiteral("13")), QStringList{QStringLiteral("tam")});
}

void TestDictionary::indexLinesThatAreNoPosition()
{
    Installation install;
    QVERIFY(writeAll(install.indexFile(),
                     "\"1\"\r\n\"abc\"\r\n\"-5\"\r\n\"99999999999\"\r\n\" 35\"\r\n\"7x\"\r\n"));
    Dictionary dictionary(install.path());
    dictionary.loadIndex();
    const qint32 expected[] = {1, 0, 0, 0, 35, 0, 0};
    for (int slot = 0; slot < 7; ++slot)
        QCOMPARE(dictionary.blockIndex().at(slot), expected[slot]);
    // Slot 4 points at the group of "1", which holds no record of 4.
    QCOMPARE(dictionary.lookupWords(QStringLiteral("4")), QStringList());
    QCOMPARE(dictionary.lookupWords(QStringLiteral("0")), (QStringList{"sea", "sow"}));
}

void TestDictionary::missingFiles()
{
    {
        Installation install;
        QFile::remove(install.indexFile());
        Dictionary dictionary(install.path());
        dictionary.loadIndex();
        QVERIFY(std::all_of(dictionary.blockIndex().cbegin(), dictionary.blockIndex().cend(),
                            [](qint32 position) { return position == 0; }));
        QCOMPARE(dictionary.lookupWords(QStringLiteral("12")), QStringList());
    }
    {
        Installation install;
        QFile::remove(install.wordFile());
        Dictionary dictionary(install.path());
        dictionary.loadIndex();
        QCOMPARE(dictionary.lookupWords(QStringLiteral("12")), QStringList());
    }
    QTemporaryDir empty;
    QVERIFY(!Dictionary::buildIndex(empty.filePath(QStringLiteral("none.db")),
                                    empty.filePath(QStringLiteral("num.db"))));
    QVERIFY(!QFile::exists(empty.filePath(QStringLiteral("num.db"))));
}

void TestDictionary::wordFileWithoutTerminator()
{
    Installation install;
    QByteArray words = readAll(install.wordFile());
    words.chop(QByteArray("\"~:\"\r\n").size());
    QVERIFY(writeAll(install.wordFile(), words));

    // Built from such a file, the last real group is taken for the terminator.
    QVERIFY(Dictionary::buildIndex(install.wordFile(), install.indexFile()));
    Dictionary dictionary(install.path());
    dictionary.loadIndex();
    QCOMPARE(dictionary.blockIndex().at(1109), 0);
    QCOMPARE(dictionary.lookupWords(QStringLiteral("999")), QStringList());

    // With the old index the last group runs into the end of the file.
    QFile::remove(install.indexFile());
    QFile::copy(fixtureDir + QStringLiteral("/data/num.db"), install.indexFile());
    dictionary.loadIndex();
    QCOMPARE(dictionary.lookupWords(QStringLiteral("999")), (QStringList{"bebop", "baobab"}));
}

void TestDictionary::truncatedWordFile()
{
    Installation install;
    const QByteArray words = readAll(install.wordFile());
    const qsizetype cut = words.indexOf("9140:butt") + 9;
    QVERIFY(writeAll(install.wordFile(), words.left(cut)));

    Dictionary dictionary(install.path());
    dictionary.loadIndex();
    QCOMPARE(dictionary.lookupWords(QStringLiteral("914")), QStringList{QStringLiteral("butter")});
    QCOMPARE(dictionary.lookupWords(QStringLiteral("9140")), QStringList());
    QCOMPARE(dictionary.lookupWords(QStringLiteral("999")), QStringList());
    QVERIFY(Dictionary::buildIndex(install.wordFile(), install.indexFile()));
}

void TestDictionary::positionPastTheEnd()
{
    Installation install;
    QByteArray index = readAll(install.indexFile());
    index.replace("\"215\"", "\"100000\"");
    QVERIFY(writeAll(install.indexFile(), index));

    Dictionary dictionary(install.path());
    dictionary.loadIndex();
    QCOMPARE(dictionary.blockIndex().at(9), 100000);
    QCOMPARE(dictionary.lookupWords(QStringLiteral("9")), QStringList());
}

void TestDictionary::bareLineFeeds()
{
    Installation install;
    QByteArray words = readAll(install.wordFile());
    words.replace("\r\n", "\n");
    QVERIFY(writeAll(install.wordFile(), words));
    QVERIFY(Dictionary::buildIndex(install.wordFile(), install.indexFile()));

    Dictionary dictionary(install.path());
    dictionary.loadIndex();
    QCOMPARE(dictionary.lookupWords(QStringLiteral("21")), (QStringList{"knot", "net"}));
    QCOMPARE(dictionary.lookupWords(QStringLiteral("1234")), QStringList{QStringLiteral("tinmar")});
}

QTEST_GUILESS_MAIN(TestDictionary)
#include "tst_dictionary.moc"
