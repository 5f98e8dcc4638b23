#include "core/WordCollection.h"

#include <QTest>

class TestWordCollection : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void addComputesValueAndKeepsOrder();
    void keysIgnoreCase_data();
    void keysIgnoreCase();
    void duplicateKeyLeavesCollectionUnchanged();
    void unkeyedMembers();
    void itemIsTheMember();
    void outOfRange_data();
    void outOfRange();
    void removeClosesGapAndFreesKey();
    void drain();
};

void TestWordCollection::addComputesValueAndKeepsOrder()
{
    WordCollection words;
    const auto butter = words.Add(QStringLiteral("butter"), 1, QStringLiteral("butter"));
    QVERIFY(butter);
    QCOMPARE(butter->word(), QStringLiteral("butter"));
    QCOMPARE(butter->count(), 1);
    QCOMPARE(butter->value(), QStringLiteral("914"));

    words.Add(QStringLiteral("tin"), 3, QStringLiteral("tin"));
    words.Add(QStringLiteral("ton"), 0);
    QCOMPARE(words.count(), 3);
    QCOMPARE(words.Item(1)->word(), QStringLiteral("butter"));
    QCOMPARE(words.Item(2)->word(), QStringLiteral("tin"));
    QCOMPARE(words.Item(3)->word(), QStringLiteral("ton"));
}

void TestWordCollection::keysIgnoreCase_data()
{
    QTest::addColumn<QString>("added");
    QTest::addColumn<QString>("asked");

    QTest::newRow("same") << "tan"
                          << "tan";
    QTest::newRow("capital") << "tan"
                             << "Tan";
    QTest::newRow("all capitals") << "tan"
                                  << "TAN";
    QTest::newRow("non-ascii") << QStringLiteral("\u00e9t\u00e9")
                               << QStringLiteral("\u00c9T\u00c9");
}

void TestWordCollection::keysIgnoreCase()
{
    QFETCH(QString, added);
    QFETCH(QString, asked);

    WordCollection words;
    const auto record = words.Add(added, 1, added);
    QCOMPARE(words.Item(asked), record);
}

void TestWordCollection::duplicateKeyLeavesCollectionUnchanged()
{
    WordCollection words;
    const auto tan = words.Add(QStringLiteral("tan"), 4, QStringLiteral("tan"));
    QVERIFY(!words.Add(QStringLiteral("Tan"), 1, QStringLiteral("Tan")));
    QCOMPARE(words.count(), 1);
    QCOMPARE(words.Item(QStringLiteral("tan")), tan);
    QCOMPARE(words.Item(QStringLiteral("tan"))->count(), 4);
}

void TestWordCollection::unkeyedMembers()
{
    WordCollection words;
    words.Add(QStringLiteral("tan"), 1);
    words.Add(QStringLiteral("tan"), 2);
    QCOMPARE(words.count(), 2);
    QCOMPARE(words.Item(2)->count(), 2);
    QVERIFY(!words.Item(QStringLiteral("tan")));
    QVERIFY(!words.Item(QString()));
    // A later keyed member with the same word is no clash.
    QVERIFY(words.Add(QStringLiteral("tan"), 3, QStringLiteral("tan")));
}

void TestWordCollection::itemIsTheMember()
{
    WordCollection words;
    words.Add(QStringLiteral("meter"), 1, QStringLiteral("meter"));
    words.Item(QStringLiteral("meter"))->setCount(7);
    QCOMPARE(words.Item(1)->count(), 7);
}

void TestWordCollection::outOfRange_data()
{
    QTest::addColumn<int>("position");
    QTest::newRow("zero") << 0;
    QTest::newRow("negative") << -1;
    QTest::newRow("past the end") << 3;
}

void TestWordCollection::outOfRange()
{
    QFETCH(int, position);

    WordCollection words;
    words.Add(QStringLiteral("tan"), 1);
    words.Add(QStringLiteral("tin"), 1);
    QVERIFY(!words.Item(position));
    QVERIFY(!words.Remove(position));
    QVERIFY(!words.Remove(QStringLiteral("ton")));
    QCOMPARE(words.count(), 2);
}

void TestWordCollection::removeClosesGapAndFreesKey()
{
    WordCollection words;
    words.Add(QStringLiteral("tan"), 1, QStringLiteral("tan"));
    words.Add(QStringLiteral("tin"), 2, QStringLiteral("tin"));
    words.Add(QStringLiteral("ton"), 3, QStringLiteral("ton"));

    QVERIFY(words.Remove(QStringLiteral("TIN")));
    QCOMPARE(words.count(), 2);
    QCOMPARE(words.Item(2)->word(), QStringLiteral("ton"));
    QVERIFY(!words.Item(QStringLiteral("tin")));

    QVERIFY(words.Remove(1));
    QVERIFY(!words.Item(QStringLiteral("tan")));
    QVERIFY(words.Add(QStringLiteral("tan"), 9, QStringLiteral("tan")));
    QCOMPARE(words.Item(2)->word(), QStringLiteral("tan"));
}

void TestWordCollection::drain()
{
    WordCollection words;
    const QStringList added{QStringLiteral("tan"), QStringLiteral("tin"), QStringLiteral("ton")};
    for (const QString &word : added)
        words.Add(word, 1, word);

    QStringList taken;
    while (words.count() > 0) {
        const auto first = words.Item(1);
        taken.append(first->word());
        // The record outlives its removal while someone holds it.
        QVERIFY(words.Remove(1));
        QCOMPARE(first->word(), taken.last());
    }
    QCOMPARE(taken, added);
    QVERIFY(!words.Item(QStringLiteral("tan")));
}

QTEST_GUILESS_MAIN(TestWordCollection)
#include "tst_wordcollection.moc"
