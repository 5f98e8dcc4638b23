#include "core/oWord.h"

#include <QTest>

class TestPhoneticCode : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void value_data();
    void value();
    void reassigningWordRecomputes();
};

void TestPhoneticCode::value_data()
{
    QTest::addColumn<QString>("word");
    QTest::addColumn<QString>("digits");

    const struct
    {
        const char *word;
        const char *digits;
    } cases[] = {
        // The teaching examples.
        {"tin", "12"},
        {"butter", "914"},
        {"summer", "034"},
        {"ginger", "6264"},
        {"ship", "09"},
        {"book", "97"},
        {"Tom", "3"},
        {"zoo", ""},
        {"Zoo", "0"},
        // Every letter of the table once.
        {"s", "0"},
        {"Z", "0"},
        {"t", "1"},
        {"d", "1"},
        {"n", "2"},
        {"m", "3"},
        {"r", "4"},
        {"l", "5"},
        {"j", "6"},
        {"g", "6"},
        {"c", "7"},
        {"f", "8"},
        {"v", "8"},
        {"p", "9"},
        {"b", "9"},
        // The k rules: silent before n, deferred otherwise, never merged with itself.
        {"k", "7"},
        {"kn", "2"},
        {"nk", "27"},
        {"kk", "77"},
        {"knee", "2"},
        {"knot", "21"},
        {"back", "977"},
        {"kick", "777"},
        {"bookkeeper", "97794"},
        {"kkn", "72"},
        {"kink", "727"},
        // Doubled letters count once; letters of the same digit do not merge.
        {"ball", "95"},
        {"tot", "11"},
        {"dt", "11"},
        {"cc", "7"},
        // Case matters and only the table's letters count.
        {"Tin", "2"},
        {"TIN", ""},
        {"", ""},
        {"aeiou", ""},
        {"hwyqx", ""},
        {"z", ""},
        {"t-t", "11"},
        {"t t", "11"},
        {"12", ""},
    };
    for (const auto &c : cases)
        QTest::newRow(c.word[0] ? c.word : "(empty)")
            << QString::fromUtf8(c.word) << QString::fromUtf8(c.digits);
    QTest::newRow("non-latin") << QStringLiteral("t\u00e9l\u00e9") << QStringLiteral("15");
}

void TestPhoneticCode::value()
{
    QFETCH(QString, word);
    QFETCH(QString, digits);

    oWord record;
    record.setWord(word);
    QCOMPARE(record.value(), digits);
    QCOMPARE(record.word(), word);
}

void TestPhoneticCode::reassigningWordRecomputes()
{
    oWord record;
    QVERIFY(record.value().isEmpty());
    record.setWord(QStringLiteral("butter"));
    record.setCount(1);
    QCOMPARE(record.value(), QStringLiteral("914"));
    QCOMPARE(record.count(), 1);

    record.setWord(QStringLiteral("knot"));
    QCOMPARE(record.value(), QStringLiteral("21"));
    record.setCount(5);
    QCOMPARE(record.value(), QStringLiteral("21"));
}

QTEST_GUILESS_MAIN(TestPhoneticCode)
#include "tst_phoneticcode.moc"
