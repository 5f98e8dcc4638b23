#include "core/WordCollection.h"

#include <QTest>

class TestWordCollection : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void membersAndKeys();
};

// Positions count from 1 and close up after a removal; keys ignore case, a key is
// taken once, and members without a key are reached by position only.
void TestWordCollection::membersAndKeys()
{
    WordCollection words;
    const auto butter = words.Add(QStringLiteral("butter"), 1, QStringLiteral("butter"));
    QCOMPARE(butter->value(), QStringLiteral("914"));
    const auto accented =
        words.Add(QStringLiteral("\u00e9t\u00e9"), 2, QStringLiteral("\u00e9t\u00e9"));
    QVERIFY(!words.Add(QStringLiteral("Butter"), 5, QStringLiteral("BUTTER")));
    words.Add(QStringLiteral("tan"), 3);
    QCOMPARE(words.count(), 3);
    QCOMPARE(words.Item(QStringLiteral("BuTTer")), butter);
    QCOMPARE(words.Item(QStringLiteral("\u00c9T\u00c9")), accented);
    QCOMPARE(words.Item(3)->word(), QStringLiteral("tan"));
    QVERIFY(!words.Item(QStringLiteral("tan")));
    for (const int outside : {0, -1, 4}) {
        QVERIFY(!words.Item(outside));
        QVERIFY(!words.Remove(outside));
    }
    QVERIFY(!words.Remove(QStringLiteral("ton")));

    QVERIFY(words.Remove(QStringLiteral("\u00c9t\u00e9")));
    QCOMPARE(words.Item(2)->word(), QStringLiteral("tan"));
    QVERIFY(!words.Item(QStringLiteral("\u00e9t\u00e9")));
    QVERIFY(words.Remove(1));
    // The record outlives its removal while someone holds it, and its key is free.
    QCOMPARE(butter->word(), QStringLiteral("butter"));
    QVERIFY(words.Add(QStringLiteral("butter"), 9, QStringLiteral("butter")));
    QCOMPARE(words.Item(2)->count(), 9);
    QCOMPARE(words.count(), 2);
}

QTEST_GUILESS_MAIN(TestWordCollection)
#include "tst_wordcollection.moc"
