#include "dictionary/WordFileBuilder.h"

#include <QTest>

class TestWordFileBuilder : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void records_data();
    void records();
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

QTEST_GUILESS_MAIN(TestWordFileBuilder)
#include "tst_wordfilebuilder.moc"
