#include "core/WordCollection.h"
#include "practice/WordTables.h"

#include <QTest>

namespace {

// Words written as "word" or "word*count", counted in this order.
WordCollection collection(const QStringList &words)
{
    WordCollection result;
    for (const QString &text : words)
        result.Add(text.section(u'*', 0, 0), qMax(1, text.section(u'*', 1).toInt()));
    return result;
}

} // namespace

class TestWordTables : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void pegNumber_data();
    void pegNumber();
    void pegRows_data();
    void pegRows();
    void mostUsedRows();
};

void TestWordTables::pegNumber_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<int>("number"); // 0: none

    QTest::newRow("1") << "1" << 1;
    QTest::newRow("01") << "01" << 1;
    QTest::newRow("0100") << "0100" << 100;
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("four digits") << "1000" << 0;
    QTest::newRow("past 64 bits") << "99999999999999999999999" << 0;
}

void TestWordTables::pegNumber()
{
    QFETCH(QString, value);
    QFETCH(int, number);
    QCOMPARE(WordTables::pegNumber(value).value_or(0), number);
}

void TestWordTables::pegRows_data()
{
    QTest::addColumn<QStringList>("words");
    QTest::addColumn<int>("row");    // 1-based; 0: every word cell stays empty
    QTest::addColumn<int>("column"); // 1: left, 3: right
    QTest::addColumn<QString>("cell");

    QTest::newRow("1 and 01 both under 1, in collection order")
        << QStringList{"tie*3", "sod", "toe"} << 1 << 1 << "(3) tie (1) sod (1) toe ";
    QTest::newRow("50 last on the left") << QStringList{"lease*4"} << 50 << 1 << "(4) lease ";
    QTest::newRow("51 first on the right") << QStringList{"lot"} << 1 << 3 << "(1) lot ";
    QTest::newRow("100 last on the right") << QStringList{"tosses"} << 50 << 3 << "(1) tosses ";
    QTest::newRow("0 and above 100 have no peg")
        << QStringList{"sea", "seas", "tomato"} << 0 << 0 << "";
    QTest::newRow("no words") << QStringList{} << 0 << 0 << "";
}

void TestWordTables::pegRows()
{
    QFETCH(QStringList, words);
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(QString, cell);

    const QList<QStringList> rows = WordTables::pegRows(collection(words), 1, 100);
    QCOMPARE(rows.size(), 50);
    for (int r = 1; r <= 50; ++r) {
        QStringList expected{QString::number(r), {}, QString::number(r + 50), {}};
        if (r == row)
            expected[column] = cell;
        QCOMPARE(rows.at(r - 1), expected);
    }
}

void TestWordTables::mostUsedRows()
{
    // Words for 0 and for numbers above 100 have no peg but are listed here.
    QCOMPARE(WordTables::mostUsedRows(collection({"sea*2", "tomato", "seas*10"})),
             (QList<QStringList>{
                 {"2", "0", "sea", ""}, {"1", "131", "tomato", ""}, {"10", "00", "seas", ""}}));
}

QTEST_GUILESS_MAIN(TestWordTables)
#include "tst_wordtables.moc"
