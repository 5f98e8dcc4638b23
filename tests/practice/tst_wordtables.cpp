#include "core/WordCollection.h"
#include "practice/WordTables.h"

#include <QTest>

namespace {

// Words written as "word" or "word*count", counted in this order.
WordCollection collection(const QStringList &words)
{
    WordCollection result;
    for (const QString &text : words) {
        const QStringList parts = text.split(u'*');
        result.Add(parts.at(0), parts.value(1, QStringLiteral("1")).toInt(), parts.at(0));
    }
    return result;
}

} // namespace

class TestWordTables : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void pegNumber_data();
    void pegNumber();
    void pegCells_data();
    void pegCells();
    void emptyCollection();
    void mostUsedRows();
};

void TestWordTables::pegNumber_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<int>("number"); // 0: none

    QTest::newRow("1") << "1" << 1;
    QTest::newRow("01") << "01" << 1;
    QTest::newRow("007") << "007" << 7;
    QTest::newRow("100") << "100" << 100;
    QTest::newRow("0100") << "0100" << 100;
    QTest::newRow("999") << "999" << 999;
    QTest::newRow("zero") << "0" << 0;
    QTest::newRow("zeros") << "000" << 0;
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("four digits") << "1000" << 0;
    QTest::newRow("past 32 bits") << "14207212215" << 0;
    QTest::newRow("past 64 bits") << "99999999999999999999999" << 0;
}

void TestWordTables::pegNumber()
{
    QFETCH(QString, value);
    QFETCH(int, number);
    QCOMPARE(WordTables::pegNumber(value).value_or(0), number);
}

void TestWordTables::pegCells_data()
{
    QTest::addColumn<QStringList>("words");
    QTest::addColumn<int>("row");    // 1-based
    QTest::addColumn<int>("column"); // 1-based
    QTest::addColumn<QString>("cell");

    QTest::newRow("counts in collection order")
        << QStringList{"tie*3", "toe"} << 1 << 2 << "(3) tie (1) toe ";
    QTest::newRow("1 and 01 both under 1")
        << QStringList{"tie", "sod*2"} << 1 << 2 << "(1) tie (2) sod ";
    QTest::newRow("50 last on the left") << QStringList{"lease*4"} << 50 << 2 << "(4) lease ";
    QTest::newRow("51 first on the right") << QStringList{"lot"} << 1 << 4 << "(1) lot ";
    QTest::newRow("100 last on the right") << QStringList{"tosses"} << 50 << 4 << "(1) tosses ";
    QTest::newRow("6 from 006") << QStringList{"sausage"} << 6 << 2 << "(1) sausage ";
}

void TestWordTables::pegCells()
{
    QFETCH(QStringList, words);
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(QString, cell);

    const QList<QStringList> rows = WordTables::pegRows(collection(words), 1, 100);
    QCOMPARE(rows.size(), 50);
    for (int r = 1; r <= 50; ++r) {
        for (int c : {2, 4}) {
            const QString expected = (r == row && c == column) ? cell : QString();
            QCOMPARE(rows.at(r - 1).at(c - 1), expected);
        }
    }
}

void TestWordTables::emptyCollection()
{
    const QList<QStringList> rows = WordTables::pegRows(WordCollection(), 1, 100);
    QCOMPARE(rows.size(), 50);
    for (int i = 1; i <= 50; ++i)
        QCOMPARE(rows.at(i - 1),
                 (QStringList{QString::number(i), {}, QString::number(i + 50), {}}));
    QVERIFY(WordTables::mostUsedRows(WordCollection()).isEmpty());
}

void TestWordTables::mostUsedRows()
{
    // Words for 0 and for numbers above 100 have no peg but are listed here.
    const WordCollection words = collection({"sea*2", "tomato", "seas*10"});
    QCOMPARE(WordTables::mostUsedRows(words),
             (QList<QStringList>{
                 {"2", "0", "sea", ""}, {"1", "131", "tomato", ""}, {"10", "00", "seas", ""}}));
    for (const QStringList &row : WordTables::pegRows(words, 1, 100)) {
        QVERIFY(row.at(1).isEmpty());
        QVERIFY(row.at(3).isEmpty());
    }
}

QTEST_GUILESS_MAIN(TestWordTables)
#include "tst_wordtables.moc"
