#include "TestPaths.h"
#include "dictionary/Dictionary.h"
#include "dictionary/WordRanks.h"
#include "workspace/ChainSearch.h"

#include <QRandomGenerator>
#include <QTest>

// "Suggest Words" on the shipped dictionary and its ranks: one whole search, its caches
// empty, for numbers of growing length, for the best chain and for the five a user
// pages through. The time per digit should stay about the same.
class BenchChainSearch : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void suggest_data();
    void suggest();
};

void BenchChainSearch::suggest_data()
{
    QTest::addColumn<int>("digits");
    QTest::addColumn<int>("chains");
    for (const int chains : {1, 5}) {
        for (const int digits : {40, 100, 250, 500, 1000, 2000, 4000})
            QTest::newRow(
                qPrintable(QStringLiteral("%1 digits, %2 chains").arg(digits).arg(chains)))
                << digits << chains;
    }
}

void BenchChainSearch::suggest()
{
    QFETCH(int, digits);
    QFETCH(int, chains);

    // The same digits at every run.
    QRandomGenerator random(20260);
    QString number;
    for (int i = 0; i < digits; ++i)
        number += QChar(u'0' + random.bounded(10));

    Dictionary dictionary(QString::fromUtf8(TestPaths::buildShareDir));
    dictionary.loadIndex();
    WordRanks ranks;
    QVERIFY(ranks.load(WordRanks::filePath(dictionary.installDir())));
    // A user with some words in use: about one word in ten counts once, the same
    // words at every run (qHash differs between runs).
    const Candidates::UsageCount usesOf = [](const QString &word) {
        return qChecksum(word.toUtf8()) % 10 == 0 ? 1 : 0;
    };
    QList<QList<ChainSearch::Link>> found;
    QBENCHMARK
    {
        found = ChainSearch::suggestChains(dictionary, number, usesOf, ranks, chains);
    }
    QCOMPARE(found.size(), chains);
    qsizetype covered = 0;
    for (const ChainSearch::Link &link : std::as_const(found.first()))
        covered += link.value.size();
    QCOMPARE(covered, number.size());
    qInfo("%d digits: %lld words", digits, qlonglong(found.first().size()));
}

QTEST_GUILESS_MAIN(BenchChainSearch)
#include "bench_chainsearch.moc"
