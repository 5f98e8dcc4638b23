#include "core/WordCollection.h"
#include "core/CodedWord.h"

#include <QTest>

class TestPhoneticCode : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void value_data();
    void value();
    void collection();
};

void TestPhoneticCode::value_data()
{
    QTest::addColumn<QString>("word");
    QTest::addColumn<QString>("digits");

    // word=digits, by rule: the teaching examples, every letter of the table, the k
    // rules (silent before n, deferred otherwise, never merged with itself), doubled
    // letters counting once, case and letters outside the table.
    const char *const groups[] = {
        "tin=12 butter=914 summer=034 ginger=6264 ship=09 book=97 Tom=3 zoo= Zoo=0",
        "s=0 Z=0 t=1 d=1 n=2 m=3 r=4 l=5 j=6 g=6 c=7 f=8 v=8 p=9 b=9",
        "k=7 kn=2 nk=27 kk=77 knee=2 knot=21 back=977 kick=777 bookkeeper=97794 kkn=72 kink=727",
        "ball=95 tot=11 dt=11 cc=7",
        "Tin=2 TIN= =  aeiou= hwyqx= z= t-t=11 12=",
    };
    for (const char *group : groups) {
        for (const QString &pair : QString::fromLatin1(group).split(u' ', Qt::SkipEmptyParts)) {
            const QStringList parts = pair.split(u'=');
            QTest::addRow("%s", qPrintable(pair)) << parts.at(0) << parts.at(1);
        }
    }
    QTest::newRow("blank between") << QStringLiteral("t t") << QStringLiteral("11");
    QTest::newRow("non-latin") << QStringLiteral("t\u00e9l\u00e9") << QStringLiteral("15");
}

// Setting another word recomputes the value; the count is kept apart.
void TestPhoneticCode::value()
{
    QFETCH(QString, word);
    QFETCH(QString, digits);

    CodedWord record;
    record.setWord(QStringLiteral("butter"));
    record.setCount(5);
    record.setWord(word);
    QCOMPARE(record.value(), digits);
    QCOMPARE(record.word(), word);
    QCOMPARE(record.count(), 5);
}

// Positions count from 1 and close up after a removal; keys ignore case, a key is
// taken once, and members without a key are reached by position only.
void TestPhoneticCode::collection()
{
    WordCollection words;
    const auto butter = words.Add(QStringLiteral("butter"), 1, QStringLiteral("butter"));
    QCOMPARE(butter->value(), QStringLiteral("914"));
    words.Add(QStringLiteral("\u00e9t\u00e9"), 2, QStringLiteral("\u00e9t\u00e9"));
    QVERIFY(!words.Add(QStringLiteral("Butter"), 5, QStringLiteral("BUTTER")));
    words.Add(QStringLiteral("tan"), 3);
    QCOMPARE(words.count(), 3);
    QCOMPARE(words.Item(QStringLiteral("\u00c9T\u00c9"))->count(), 2);
    QCOMPARE(words.Item(3)->word(), QStringLiteral("tan"));
    QVERIFY(!words.Item(QStringLiteral("tan")));
    for (const int outside : {0, -1, 4})
        QVERIFY(!words.Item(outside) && !words.Remove(outside));

    // The gap closes, the record outlives its removal while someone holds it, and its
    // key is free again.
    QVERIFY(words.Remove(1));
    QCOMPARE(words.Item(2)->word(), QStringLiteral("tan"));
    QCOMPARE(butter->word(), QStringLiteral("butter"));
    QVERIFY(!words.Item(QStringLiteral("BuTTer")));
    QVERIFY(words.Add(QStringLiteral("butter"), 9, QStringLiteral("butter")));
    QCOMPARE(words.Item(QStringLiteral("BuTTer"))->count(), 9);
}

QTEST_GUILESS_MAIN(TestPhoneticCode)
#include "tst_phoneticcode.moc"
