#include "TestPaths.h"
#include "core/WordUsage.h"
#include "dictionary/Dictionary.h"
#include "workspace/ChainSearch.h"

#include <QHash>
#include <QTest>

// The chain "Suggest Words" proposes, on the small fixture dictionary.
class TestChainSearch : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void suggest_data();
    void suggest();
};

using Usage = QHash<QString, int>;

void TestChainSearch::suggest_data()
{
    QTest::addColumn<QString>("number");
    QTest::addColumn<Usage>("usage");
    QTest::addColumn<QString>("chain"); // "value word" links joined by commas

    QTest::newRow("no record for the first two digits") << "999" << Usage{} << "999 baobab";
    QTest::newRow("keys past the first three digits")
        << "12401234" << Usage{} << "1240 tenors,1234 tinmar";
    QTest::newRow("new user: the word on top of the list") << "12" << Usage{} << "12 tuna";
    QTest::newRow("used word preferred") << "12" << Usage{{"tin", 2}} << "12 tin";
    QTest::newRow("counts compared as numbers")
        << "12" << Usage{{"tin", 9}, {"ton", 10}} << "12 ton";
    QTest::newRow("equal counts: longer part first") << "212" << Usage{} << "21 net,2 new";
    QTest::newRow("the first link decides") << "212" << Usage{{"tuna", 5}} << "21 net,2 new";
    QTest::newRow("a used first word wins the tie")
        << "212" << Usage{{"new", 1}} << "2 new,12 tuna";
    QTest::newRow("fewest words beat usage")
        << "1234" << Usage{{"tin", 5}, {"me", 5}, {"raw", 5}} << "1234 tinmar";
    QTest::newRow("leading zeros") << "0001" << Usage{} << "00 seas,0 sow,1 toe";
    QTest::newRow("uncovered rest stays") << "12375" << Usage{} << "12 tuna,3 me";
    QTest::newRow("covers as far as it can") << "9140127" << Usage{} << "9140 butters,12 tuna";
    QTest::newRow("nothing for the first digit") << "7123" << Usage{} << "";
}

void TestChainSearch::suggest()
{
    QFETCH(QString, number);
    QFETCH(Usage, usage);
    QFETCH(QString, chain);

    Dictionary dictionary(QString::fromUtf8(TestPaths::dataDir) + QStringLiteral("/dictionary"));
    dictionary.loadIndex();
    WordUsage table;
    for (auto it = usage.cbegin(); it != usage.cend(); ++it)
        table.countWord(it.key().toUpper(), it.value());
    // The usage table holds the words in capitals: counts are found ignoring case.
    const QList<ChainSearch::Link> links = ChainSearch::suggest(
        dictionary, number, [&table](const QString &word) { return table.getcount(word); });
    QStringList texts;
    for (const ChainSearch::Link &link : links)
        texts.append(link.value + u' ' + link.word);
    QCOMPARE(texts.join(u','), chain);
}

QTEST_GUILESS_MAIN(TestChainSearch)
#include "tst_chainsearch.moc"
