#include "workspace/Candidates.h"
#include "workspace/MemoryChain.h"

#include <QHash>
#include <QTest>

class TestCandidates : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void rowsForRecord_data();
    void rowsForRecord();
    void rankedCollectionIsUnkeyed();
    void chain_data();
    void chain();
};

using Usage = QHash<QString, int>;

void TestCandidates::rowsForRecord_data()
{
    QTest::addColumn<QStringList>("record");
    QTest::addColumn<Usage>("usage");
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<QStringList>("counts");

    const QStringList words{"tan", "tin", "ton", "tuna"};
    QTest::newRow("no usage: reverse record order")
        << words << Usage{} << QStringList{"tuna", "ton", "tin", "tan"}
        << QStringList{"", "", "", ""};
    QTest::newRow("counts compared as text: 9 above 10, 1 above 0")
        << words << Usage{{"tan", 1}, {"tin", 9}, {"ton", 10}}
        << QStringList{"tin", "ton", "tan", "tuna"} << QStringList{"9", "10", "1", ""};
    QTest::newRow("2 above 15") << QStringList{"tan", "tin"} << Usage{{"tan", 15}, {"tin", 2}}
                                << QStringList{"tin", "tan"} << QStringList{"2", "15"};
    QTest::newRow("repeated and empty words left out")
        << QStringList{"tan", "", "Tan", "tin", "tan"} << Usage{} << QStringList{"tin", "tan"}
        << QStringList{"", ""};
}

void TestCandidates::rowsForRecord()
{
    QFETCH(QStringList, record);
    QFETCH(Usage, usage);
    QFETCH(QStringList, shown);
    QFETCH(QStringList, counts);

    const QList<CandidateRow> rows = Candidates::rowsForRecord(
        record, [&usage](const QString &word) { return usage.value(word); });
    QStringList words;
    QStringList countTexts;
    for (const CandidateRow &row : rows) {
        words.append(row.word);
        countTexts.append(row.countText());
        QCOMPARE(row.value, QStringLiteral("12"));
    }
    QCOMPARE(words, shown);
    QCOMPARE(countTexts, counts);
}

void TestCandidates::rankedCollectionIsUnkeyed()
{
    WordCollection words;
    words.Add(QStringLiteral("tin"), 1, QStringLiteral("tin"));
    words.Add(QStringLiteral("tan"), 1, QStringLiteral("tan"));
    Candidates::rankWords(words, [](const QString &word) { return word == u"tin" ? 3 : 0; });
    QCOMPARE(words.count(), 2);
    QCOMPARE(words.Item(1)->word(), QStringLiteral("tan"));
    QCOMPARE(words.Item(2)->count(), 3);
    QVERIFY(!words.Item(QStringLiteral("tin")));
}

void TestCandidates::chain_data()
{
    QTest::addColumn<QStringList>("values");
    QTest::addColumn<QStringList>("words");
    QTest::addColumn<QString>("getwords");
    QTest::addColumn<QString>("number");

    QTest::newRow("empty") << QStringList{} << QStringList{} << ""
                           << "";
    QTest::newRow("tin ham") << QStringList{"12", "3"} << QStringList{"tin", "ham"} << " tin ham"
                             << "123";
    QTest::newRow("leading zeros")
        << QStringList{"0", "01"} << QStringList{"sea", "stow"} << " sea stow"
        << "001";
}

void TestCandidates::chain()
{
    QFETCH(QStringList, values);
    QFETCH(QStringList, words);
    QFETCH(QString, getwords);
    QFETCH(QString, number);

    MemoryChain chain;
    for (qsizetype i = 0; i < values.size(); ++i)
        chain.append(values.at(i), words.at(i));
    QCOMPARE(chain.getwords(), getwords);
    QCOMPARE(chain.GetCurrentNumber(), number);
    QCOMPARE(chain.rowCount(), int(values.size()));
}

QTEST_GUILESS_MAIN(TestCandidates)
#include "tst_candidates.moc"
