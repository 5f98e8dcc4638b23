#include "core/QuotedLineFile.h"
#include "dictionary/Dictionary.h"
#include "dictionary/WordFileBuilder.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

class TestWordFileBuilder : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void records_data();
    void records();
    void builtFileIsFoundByLookup();
};

void TestWordFileBuilder::records_data()
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

void TestWordFileBuilder::records()
{
    QFETCH(QStringList, words);
    QFETCH(QStringList, records);

    WordFileBuilder builder;
    builder.addWords(words);
    QCOMPARE(builder.records(), records);
}

void TestWordFileBuilder::builtFileIsFoundByLookup()
{
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("data")));
    const QString wordFile = dir.filePath(QStringLiteral("data/num1.db"));
    const QString indexFile = dir.filePath(QStringLiteral("data/num.db"));

    WordFileBuilder builder;
    QCOMPARE(builder.addWords({"bebop", "baobab", "sea", "tin", "tan", "butter"}), 6);
    QVERIFY(QuotedLineFile::write(wordFile, builder.records()));
    QVERIFY(Dictionary::buildIndex(wordFile, indexFile));

    Dictionary dictionary(dir.path());
    dictionary.loadIndex();
    QCOMPARE(dictionary.lookupWords(QStringLiteral("0")), QStringList{QStringLiteral("sea")});
    QCOMPARE(dictionary.lookupWords(QStringLiteral("12")), (QStringList{"tan", "tin"}));
    QCOMPARE(dictionary.lookupWords(QStringLiteral("914")), QStringList{QStringLiteral("butter")});
    // The highest group is indexed because the terminator follows it.
    QCOMPARE(dictionary.lookupWords(QStringLiteral("999")), (QStringList{"baobab", "bebop"}));
}

QTEST_GUILESS_MAIN(TestWordFileBuilder)
#include "tst_wordfilebuilder.moc"
