#include "TestInstallation.h"
#include "practice/MostUsed.h"
#include "remembered/Form3.h"
#include "workspace/MessageBox.h"
#include "workspace/Windows.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QTest>
#include <QTreeWidget>

#include <memory>

namespace {

// A remembered-numbers file from entries written as "value:description:words".
QByteArray rvFile(const QStringList &entries)
{
    QByteArray bytes("");
    for (const QString &entry : entries)
        bytes += '"' + entry.toLatin1() + "\"\r\n";
    return bytes;
}

// Words for 1 (tie, toe), 01 (sod), 50 (lease), 51 (lot), 100 (tosses), 0 (sea) and
// 131 (tomato).
const QStringList pegEntries{
    QStringLiteral("1:a:tie tie tie toe"), QStringLiteral("01:b:sod"),
    QStringLiteral("50:c:lease"),          QStringLiteral("51:d:lot"),
    QStringLiteral("100:e:tosses"),        QStringLiteral("0:f:sea"),
    QStringLiteral("131:g:tomato"),
};

// toe 1 for 1, no 10 times for 2, bee twice for 9, rye 3 times for 4: each column
// and direction gives another order.
const QStringList mostEntries{
    QStringLiteral("1:a:toe"),
    QStringLiteral("2222222222:b:no no no no no no no no no no"),
    QStringLiteral("99:c:bee bee"),
    QStringLiteral("444:d:rye rye rye"),
};

} // namespace

// The peg and most-used tables as the main window's commands show them.
class TestMostUsed : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void pegTable();
    void mostUsedSortsCountsAsText();
    void headerClicksFlipOneDirection_data();
    void headerClicksFlipOneDirection();
    void switchingBetweenTheTables();
    void emptyUsageTable();
    void closingStartsOver();

private:
    MostUsed *open(const QStringList &entries);
    QTreeWidget *list() const
    {
        return m_window->findChild<QTreeWidget *>(QStringLiteral("ListView1"));
    }
    QStringList column(int column) const;
    QStringList titles() const;
    void clickHeader(int column);

    std::unique_ptr<TestInstallation> m_install;
    MostUsed *m_window = nullptr;
};

void TestMostUsed::init()
{
    MessageBox::answerInstead(true);
}

void TestMostUsed::cleanup()
{
    Windows::releaseAll();
    m_window = nullptr;
    m_install.reset();
}

MostUsed *TestMostUsed::open(const QStringList &entries)
{
    m_install = std::make_unique<TestInstallation>(rvFile(entries), false);
    Windows::instance<Form3>()->load();
    m_window = Windows::instance<MostUsed>();
    m_window->show();
    return m_window;
}

QStringList TestMostUsed::column(int column) const
{
    QStringList texts;
    for (int row = 0; row < list()->topLevelItemCount(); ++row)
        texts.append(list()->topLevelItem(row)->text(column));
    return texts;
}

QStringList TestMostUsed::titles() const
{
    QStringList texts;
    for (int c = 0; c < list()->columnCount(); ++c)
        texts.append(list()->headerItem()->text(c));
    return texts;
}

void TestMostUsed::clickHeader(int column)
{
    QHeaderView *header = list()->header();
    const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                    header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
}

void TestMostUsed::pegTable()
{
    open(pegEntries);
    m_window->Populate();
    QCOMPARE(m_window->windowTitle(), QStringLiteral("1-100"));
    QCOMPARE(titles(), (QStringList{"Number", "Word", "Number", "Word"}));
    QCOMPARE(list()->topLevelItemCount(), 50);
    QCOMPARE(column(0).first(), QStringLiteral("1"));
    QCOMPARE(column(0).last(), QStringLiteral("50"));
    QCOMPARE(column(2).first(), QStringLiteral("51"));
    QCOMPARE(column(2).last(), QStringLiteral("100"));

    // Where the cells go is tested on the table logic (tst_wordtables).
    QCOMPARE(list()->topLevelItem(0)->text(1), QStringLiteral("(3) tie (1) toe (1) sod "));
    QCOMPARE(list()->topLevelItem(49)->text(3), QStringLiteral("(1) tosses "));
    QCOMPARE(list()->topLevelItem(0)->textAlignment(1), int(Qt::AlignCenter));

    // The four columns share the list's width: a sixth, a third, a sixth, a third.
    int total = 0;
    for (int c = 0; c < 4; ++c)
        total += list()->columnWidth(c);
    QCOMPARE(total, list()->width() - 2 * list()->frameWidth() -
                        list()->verticalScrollBar()->sizeHint().width());
    QVERIFY(qAbs(list()->columnWidth(1) - 2 * list()->columnWidth(0)) <= 1);
}

void TestMostUsed::mostUsedSortsCountsAsText()
{
    open(pegEntries +
         QStringList{QStringLiteral("1111111111:h:tea tea tea tea tea tea tea tea tea tea")});
    m_window->PopulateMost();
    QCOMPARE(m_window->windowTitle(), QStringLiteral("Most Used"));
    QCOMPARE(titles(), (QStringList{"Count", "Value", "Word", ""}));
    // Counts compare as text: 10 comes between 1 and 3. Equal counts keep the order in
    // which the words were first used, and the words for 0 and 131 are listed too.
    QCOMPARE(column(0), (QStringList{"1", "1", "1", "1", "1", "1", "1", "10", "3"}));
    QCOMPARE(column(1), (QStringList{"1", "01", "50", "51", "100", "0", "131", "1", "1"}));
    QCOMPARE(column(2),
             (QStringList{"toe", "sod", "lease", "lot", "tosses", "sea", "tomato", "tea", "tie"}));
    QCOMPARE(column(3), QStringList(9));
}

void TestMostUsed::headerClicksFlipOneDirection_data()
{
    QTest::addColumn<QList<int>>("clicks");
    QTest::addColumn<QStringList>("words");

    QTest::newRow("first opening: counts ascending")
        << QList<int>{} << QStringList{"toe", "no", "bee", "rye"};
    QTest::newRow("counts descending") << QList<int>{0} << QStringList{"rye", "bee", "no", "toe"};
    QTest::newRow("a new column flips as well")
        << QList<int>{2} << QStringList{"toe", "rye", "no", "bee"};
    QTest::newRow("words ascending") << QList<int>{2, 2} << QStringList{"bee", "no", "rye", "toe"};
    QTest::newRow("counts, then words")
        << QList<int>{0, 2} << QStringList{"bee", "no", "rye", "toe"};
    QTest::newRow("values descending") << QList<int>{1} << QStringList{"bee", "rye", "no", "toe"};
    QTest::newRow("values ascending") << QList<int>{1, 1} << QStringList{"toe", "no", "rye", "bee"};
    QTest::newRow("three columns") << QList<int>{0, 1, 2} << QStringList{"toe", "rye", "no", "bee"};
}

void TestMostUsed::headerClicksFlipOneDirection()
{
    QFETCH(QList<int>, clicks);
    QFETCH(QStringList, words);

    open(mostEntries);
    m_window->PopulateMost();
    for (int c : clicks)
        clickHeader(c);
    QCOMPARE(column(2), words);
    QVERIFY(list()->header()->isSortIndicatorShown());
}

void TestMostUsed::switchingBetweenTheTables()
{
    open(mostEntries);
    m_window->PopulateMost();
    QCOMPARE(list()->topLevelItemCount(), 4);

    // The peg table keeps the order of its numbers, but takes the click for the next
    // most-used table.
    Windows::instance<MostUsed>()->Populate();
    QCOMPARE(Windows::instance<MostUsed>(), m_window);
    clickHeader(2);
    QCOMPARE(m_window->windowTitle(), QStringLiteral("1-100"));
    QCOMPARE(titles(), (QStringList{"Number", "Word", "Number", "Word"}));
    QStringList numbers;
    for (int i = 1; i <= 50; ++i)
        numbers.append(QString::number(i));
    QCOMPARE(column(0), numbers);
    QCOMPARE(column(1).first(), QStringLiteral("(1) toe "));
    QVERIFY(!list()->header()->isSortIndicatorShown());

    m_window->PopulateMost();
    QCOMPARE(m_window->windowTitle(), QStringLiteral("Most Used"));
    QCOMPARE(titles(), (QStringList{"Count", "Value", "Word", ""}));
    QCOMPARE(column(2), (QStringList{"toe", "rye", "no", "bee"}));
}

void TestMostUsed::emptyUsageTable()
{
    open({});
    m_window->Populate();
    QCOMPARE(column(1), QStringList(50));
    QCOMPARE(column(3), QStringList(50));
    m_window->PopulateMost();
    QCOMPARE(list()->topLevelItemCount(), 0);
}

void TestMostUsed::closingStartsOver()
{
    open(mostEntries);
    m_window->PopulateMost();
    clickHeader(2);
    QCOMPARE(column(2), (QStringList{"toe", "rye", "no", "bee"}));
    m_window->close();
    QCOMPARE(list()->topLevelItemCount(), 0);

    MostUsed *again = Windows::instance<MostUsed>();
    again->show();
    again->PopulateMost();
    QCOMPARE(column(2), (QStringList{"toe", "no", "bee", "rye"}));
}

QTEST_MAIN(TestMostUsed)
#include "tst_mostused.moc"
