#include "TestPaths.h"
#include "dictionary/Dictionary.h"
#include "dictionary/WordFileBuilder.h"
#include "dictionary/WordRanks.h"
#include "workspace/ChainSearch.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using Slots = QMap<int, int>;

namespace {

const QString fixtureDir = QString::fromUtf8(TestPaths::dataDir) + QStringLiteral("/dictionary");

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A copy of the fixture installation in `dir` with one file damaged: every `from` in
// it replaced by `to`. A null `from` stands for the whole file, and a null `to` with it
// for a file that is gone.
bool installDamaged(const QString &dir, const QString &file, const QByteArray &from,
                    const QByteArray &to)
{
    QDir(dir).mkpath(QStringLiteral("data"));
    for (const QString &name : {QStringLiteral("num1.db"), QStringLiteral("num.db")}) {
        QByteArray bytes = readAll(fixtureDir + QStringLiteral("/data/") + name);
        if (name == file)
            bytes = from.isNull() ? to : bytes.replace(from, to);
        QFile out(dir + QStringLiteral("/data/") + name);
        if (!bytes.isNull() &&
            !(out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size()))
            return false;
    }
    return true;
}

} // namespace

// The dictionary against a small fixture installation whose index was computed by
// hand, and against copies of it with one file damaged.
class TestDictionary : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void lookup_data();
    void lookup();
    void wordsInBlock_data();
    void wordsInBlock();
    void buildIndexIsByteExact();
    void builtRecords_data();
    void builtRecords();
    void damagedInstallation_data();
    void damagedInstallation();
    void ranksFile_data();
    void ranksFile();
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
    QTest::newRow("group slot 0") << "5555" << QStringList{};
    QTest::newRow("unknown key in a known group") << "9141" << QStringList{};
    QTest::newRow("last group before the terminator") << "999" << QStringList{"bebop", "baobab"};
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

void TestDictionary::wordsInBlock_data()
{
    QTest::addColumn<QString>("block");
    QTest::addColumn<QStringList>("words");
    QTest::addColumn<bool>("reported");

    QTest::newRow("empty words between colons")
        << "\"12:tan::tin:\"\"13:x:\"" << QStringList{"tan", "", "tin"} << false;
    QTest::newRow("text after the last colon is no word")
        << "\"12:tan:tin\"\"13:x:\"" << QStringList{"tan"} << false;
    QTest::newRow("stops at its closing quote")
        << "\"12:tan:\"\"13:x:\"" << QStringList{"tan"} << false;
    QTest::newRow("damaged record") << "\"12" << QStringList{} << true;
    QTest::newRow("empty block") << "" << QStringList{} << false;
}

void TestDictionary::wordsInBlock()
{
    QFETCH(QString, block);
    QFETCH(QStringList, words);
    QFETCH(bool, reported);

    QString problem;
    QCOMPARE(Dictionary::wordsInBlock(block, QStringLiteral("12"), &problem), words);
    QCOMPARE(problem,
             reported ? QStringLiteral("12 not found in block -") + block.mid(1) : QString());
}

void TestDictionary::buildIndexIsByteExact()
{
    QTemporaryDir dir;
    const QString index = dir.filePath(QStringLiteral("num.db"));
    QVERIFY(Dictionary::buildIndex(fixtureDir + QStringLiteral("/data/num1.db"), index));
    const QByteArray built = readAll(index);
    QCOMPARE(built, readAll(fixtureDir + QStringLiteral("/data/num.db")));
    QCOMPARE(built.count("\r\n"), Dictionary::slotCount);

    const QString other = dir.filePath(QStringLiteral("other.db"));
    QVERIFY(!Dictionary::buildIndex(dir.filePath(QStringLiteral("none.db")), other));
    QVERIFY(!QFile::exists(other));
}

void TestDictionary::damagedInstallation_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("from");
    QTest::addColumn<QByteArray>("to");
    QTest::addColumn<bool>("rebuild");
    QTest::addColumn<Slots>("positions");
    QTest::addColumn<QStringList>("lookups");

    const QByteArray whole;
    const QByteArray removed;
    const QByteArray terminator("\"~:\"\r\n");
    const QByteArray afterButt("ters:\"\r\n\"999:bebop:baobab:\"\r\n\"~:\"\r\n");

    QTest::newRow("index missing")
        << "num.db" << whole << removed << false << Slots{{0, 0}} << QStringList{"0", "12"};
    QTest::newRow("word file missing")
        << "num1.db" << whole << removed << false << Slots{} << QStringList{"0", "12"};
    QTest::newRow("junk index lines")
        << "num.db" << whole
        << QByteArray("\"1\"\r\n\"abc\"\r\n\"-5\"\r\n\"99999999999\"\r\n\" 35\"\r\n\"7x\"\r\n")
        << false << Slots{{0, 1}, {1, 0}, {2, 0}, {3, 0}, {4, 35}, {5, 0}, {6, 0}, {21, 0}}
        << QStringList{"0:sea:sow", "1", "4"};
    QTest::newRow("position past the end")
        << "num.db" << QByteArray("\"215\"") << QByteArray("\"100000\"") << false
        << Slots{{9, 100000}} << QStringList{"9", "91:bat"};
    QTest::newRow("no terminator, old index") << "num1.db" << terminator << QByteArray("") << false
                                              << Slots{} << QStringList{"999:bebop:baobab"};
    // Built from such a file, the last real group is taken for the terminator.
    QTest::newRow("no terminator, index rebuilt")
        << "num1.db" << terminator << QByteArray("") << true << Slots{{1109, 0}}
        << QStringList{"999", "914:butter"};
    QTest::newRow("truncated in a record") << "num1.db" << afterButt << QByteArray("") << false
                                           << Slots{} << QStringList{"914:butter", "9140", "999"};
    QTest::newRow("truncated, index rebuilt") << "num1.db" << afterButt << QByteArray("") << true
                                              << Slots{} << QStringList{"91:bat", "914"};
    QTest::newRow("bare line feeds, index rebuilt")
        << "num1.db" << QByteArray("\r\n") << QByteArray("\n") << true << Slots{}
        << QStringList{"21:knot:net", "1234:tinmar", "999:bebop:baobab"};
    // Only groups that were read get a position: slot 0 too.
    QTest::newRow("first group not 0, index rebuilt")
        << "num1.db" << whole << QByteArray("\"12:tan:\"\r\n\"13:tam:\"\r\n\"~:\"\r\n") << true
        << Slots{{0, 0}, {1, 0}, {22, 1}, {23, 12}, {24, 0}} << QStringList{"12:tan", "13:tam"};
}

void TestDictionary::damagedInstallation()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, from);
    QFETCH(QByteArray, to);
    QFETCH(bool, rebuild);
    QFETCH(Slots, positions);
    QFETCH(QStringList, lookups);

    QTemporaryDir dir;
    QVERIFY(installDamaged(dir.path(), file, from, to));
    Dictionary dictionary(dir.path());
    if (rebuild)
        QVERIFY(Dictionary::buildIndex(dictionary.wordFilePath(), dictionary.indexFilePath()));
    dictionary.loadIndex();
    for (auto [slot, position] : positions.asKeyValueRange())
        QCOMPARE(dictionary.blockIndex().at(slot), position);
    // Written as records are, without quotes and last colon: "12:tan:tin", or "5".
    for (const QString &expected : lookups) {
        const QString digits = expected.section(u':', 0, 0);
        QCOMPARE((QStringList{digits} + dictionary.lookupWords(digits)).join(u':'), expected);
    }
}

void TestDictionary::builtRecords_data()
{
    QTest::addColumn<QStringList>("words");
    QTest::addColumn<QStringList>("records");

    QTest::newRow("most preferred last, keys ascending")
        << QStringList{"tin", "ton", "tan", "sea", "meter"}
        << QStringList{"0:sea:", "12:tan:ton:tin:", "314:meter:", "~:"};
    QTest::newRow("byte order of keys")
        << QStringList{"dinner", "tin", "tenor", "tent"}
        << QStringList{"12:tin:", "121:tent:", "124:tenor:dinner:", "~:"};
    QTest::newRow("repeats ignoring case dropped")
        << QStringList{"tin", "tIn", "tin", "TIN"} << QStringList{"12:tin:", "~:"};
    QTest::newRow("unusable words dropped")
        << QStringList{"", "aye", "t:n", "t\"n", "tin2", "ti n", "tin"}
        << QStringList{"12:tin:", "~:"};
    QTest::newRow("only the terminator") << QStringList{} << QStringList{"~:"};
}

void TestDictionary::builtRecords()
{
    QFETCH(QStringList, words);
    QFETCH(QStringList, records);

    WordFileBuilder builder;
    builder.addWords(words);
    QCOMPARE(builder.records(), records);
}

void TestDictionary::ranksFile_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("chain");

    // Without ranks the first word the list shows, tuna, is taken for 12.
    const QByteArray head("numbrill word ranks 1\r\n");
    const QByteArray ranks("1 tin\r\n5 tuna\r\n");
    QTest::newRow("no file") << QByteArray() << "tuna";
    QTest::newRow("whole") << head + ranks + "end 2\r\n"
                           << "tin";
    QTest::newRow("no words") << head + "end 0\r\n"
                              << "tuna";
    QTest::newRow("empty") << QByteArray("") << "tuna";
    QTest::newRow("cut off") << head + ranks << "tuna";
    QTest::newRow("cut off in the end line") << head + ranks + "end 2"
                                             << "tuna";
    QTest::newRow("count too high") << head + ranks + "end 3\r\n"
                                    << "tuna";
    QTest::newRow("lines after the end") << head + ranks + "end 2\r\n1 ton\r\n"
                                         << "tuna";
    QTest::newRow("line feeds only")
        << QByteArray(head + ranks + "end 2\r\n").replace("\r\n", "\n") << "tuna";
    QTest::newRow("other header") << "numbrill word ranks 2\r\n" + ranks + "end 2\r\n"
                                  << "tuna";
    QTest::newRow("rank out of range") << head + "9 tin\r\n5 tuna\r\nend 2\r\n"
                                       << "tuna";
    QTest::newRow("a digit in a word") << head + "1 t1n\r\n5 tuna\r\nend 2\r\n"
                                       << "tuna";
    QTest::newRow("listed twice") << head + ranks + "1 tin\r\nend 3\r\n"
                                  << "tuna";
}

// The ranks file is read whole or not at all: anything else than a complete file
// ranks words by their place in their record, as a dictionary without one does.
void TestDictionary::ranksFile()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, chain);

    QTemporaryDir dir;
    QVERIFY(installDamaged(dir.path(), QString(), {}, {}));
    const QString path = WordRanks::filePath(dir.path());
    QFile file(path);
    QVERIFY(bytes.isNull() ||
            (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size()));
    file.close();

    WordRanks ranks;
    QString problem;
    const bool whole = ranks.load(path, &problem);
    QCOMPARE(whole, chain == QLatin1String("tin") || bytes.endsWith("end 0\r\n"));
    QCOMPARE(problem.startsWith(path), !whole && !bytes.isNull());
    Dictionary dictionary(dir.path());
    dictionary.loadIndex();
    const QList<ChainSearch::Link> links = ChainSearch::suggest(
        dictionary, QStringLiteral("12"), [](const QString &) { return 0; }, ranks);
    QCOMPARE(links.value(0).word, chain);
}
QTEST_GUILESS_MAIN(TestDictionary)
#include "tst_dictionary.moc"
