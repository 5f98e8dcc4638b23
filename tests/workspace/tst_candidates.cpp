#include "workspace/Candidates.h"
#include "workspace/MemoryChain.h"

#include <QHash>
#include <QTest>

// The ranking of a record's words for the candidate list and the chain of chosen
// words, without the main window; tst_form1 checks one ranking end to end.
class TestCandidates : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void rowsForRecord_data();
    void rowsForRecord();
    void chain_data();
    void chain();
};

using Usage = QHash<QString, int>;

void TestCandidates::rowsForRecord_data()
{
    QTest::addColumn<QStringList>("record");
    QTest::addColumn<Usage>("usage");
    QTest::addColumn<QStringList>("shown");

    // Rows are "word count", top row first; a word never used shows no count.
    const QStringList words{"tan", "tin", "ton", "tuna"};
    QTest::newRow("no usage: reverse record order")
        << words << Usage{} << QStringList{"tuna", "ton", "tin", "tan"};
    QTest::newRow("counts compared as text: 9 above 10, 1 above 0")
        << words << Usage{{"tan", 1}, {"tin", 9}, {"ton", 10}}
        << QStringList{"tin 9", "ton 10", "tan 1", "tuna"};
    QTest::newRow("repeated and empty words left out")
        << QStringList{"tan", "", "Tan", "tin", "tan"} << Usage{} << QStringList{"tin", "tan"};
}

void TestCandidates::rowsForRecord()
{
    QFETCH(QStringList, record);
    QFETCH(Usage, usage);
    QFETCH(QStringList, shown);

    const QList<CandidateRow> rows = Candidates::rowsForRecord(
        record, [&usage](const QString &word) { return usage.value(word); });
    QStringList texts;
    for (const CandidateRow &row : rows) {
        texts.append((row.word + u' ' + row.countText()).trimmed());
        QCOMPARE(row.value, QStringLiteral("12"));
    }
    QCOMPARE(texts, shown);
}

void TestCandidates::chain_data()
{
    QTest::addColumn<QString>("number");
    QTest::addColumn<QStringList>("links");
    QTest::addColumn<QString>("getwords");

    QTest::newRow("empty") << QString() << QStringList{} << QString();
    QTest::newRow("tin ham") << "123" << QStringList{"12=tin", "3=ham"} << " tin ham";
    QTest::newRow("leading zeros") << "001" << QStringList{"0=sea", "01=stow"} << " sea stow";
}

void TestCandidates::chain()
{
    QFETCH(QString, number);
    QFETCH(QStringList, links);
    QFETCH(QString, getwords);

    MemoryChain chain;
    for (const QString &link : links)
        chain.append(link.section(u'=', 0, 0), link.section(u'=', 1));
    QCOMPARE(chain.getwords(), getwords);
    QCOMPARE(chain.GetCurrentNumber(), number);
}

QTEST_GUILESS_MAIN(TestCandidates)
#include "tst_candidates.moc"
