#include "TestInstallation.h"
#include "practice/MostUsed.h"
#include "remembered/Form3.h"
#include "ui/MessageBox.h"
#include "ui/Windows.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QTest>
#include <QTreeWidget>

#include <memory>

namespace {

// toe once for 1, no 10 times for 2, bee twice for 9, rye 3 times for 4: each column
// and direction gives another order.
const QStringList usedWords{"1:a:toe", "2222222222:b:no no no no no no no no no no", "99:c:bee bee",
                            "444:d:rye rye rye"};

} // namespace

// The peg and most-used tables as the main window's commands show them. What goes
// into the cells is tested on the table logic (tst_wordtables).
class TestMostUsed : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup();

    void headerClicksFlipOneDirection_data();
    void headerClicksFlipOneDirection();
    void switchingBetweenTheTables();

private:
    // Entries written as "value:description:words".
    void open(const QStringList &entries);
    QStringList column(int column) const;
    static QStringList texts(const QTreeWidgetItem *item);
    void clickHeader(int column);

    std::unique_ptr<TestInstallation> m_install;
    MostUsed *m_window = nullptr;
    QTreeWidget *m_list = nullptr;
};

void TestMostUsed::cleanup()
{
    Windows::releaseAll();
    m_install.reset();
}

void TestMostUsed::open(const QStringList &entries)
{
    MessageBox::answerInstead(true);
    QByteArray file("");
    for (const QString &entry : entries)
        file += '"' + entry.toLatin1() + "\"\r\n";
    m_install = std::make_unique<TestInstallation>(file, false);
    Windows::instance<Form3>()->load();
    m_window = Windows::instance<MostUsed>();
    m_window->show();
    m_list = m_window->findChild<QTreeWidget *>(QStringLiteral("ListView1"));
}

QStringList TestMostUsed::column(int column) const
{
    QStringList texts;
    for (int row = 0; row < m_list->topLevelItemCount(); ++row)
        texts.append(m_list->topLevelItem(row)->text(column));
    return texts;
}

QStringList TestMostUsed::texts(const QTreeWidgetItem *item)
{
    QStringList texts;
    for (int c = 0; c < item->columnCount(); ++c)
        texts.append(item->text(c));
    return texts;
}

void TestMostUsed::clickHeader(int column)
{
    QHeaderView *header = m_list->header();
    const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                    header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
}

void TestMostUsed::headerClicksFlipOneDirection_data()
{
    QTest::addColumn<QList<int>>("clicks"); // -1: close the window and open the table again
    QTest::addColumn<QStringList>("words");

    // Counts compare as text: 10 comes between 1 and 2.
    QTest::newRow("first opening: counts ascending")
        << QList<int>{} << QStringList{"toe", "no", "bee", "rye"};
    QTest::newRow("counts descending") << QList<int>{0} << QStringList{"rye", "bee", "no", "toe"};
    QTest::newRow("a new column flips as well")
        << QList<int>{2} << QStringList{"toe", "rye", "no", "bee"};
    QTest::newRow("counts, then words")
        << QList<int>{0, 2} << QStringList{"bee", "no", "rye", "toe"};
    QTest::newRow("values descending") << QList<int>{1} << QStringList{"bee", "rye", "no", "toe"};
    QTest::newRow("closing starts over")
        << QList<int>{2, -1} << QStringList{"toe", "no", "bee", "rye"};
}

void TestMostUsed::headerClicksFlipOneDirection()
{
    QFETCH(QList<int>, clicks);
    QFETCH(QStringList, words);

    open(usedWords);
    m_window->PopulateMost();
    for (int c : clicks) {
        if (c >= 0) {
            clickHeader(c);
            continue;
        }
        m_window->close();
        m_window->show();
        m_window->PopulateMost();
    }
    QCOMPARE(column(2), words);
    QVERIFY(m_list->header()->isSortIndicatorShown());
}

void TestMostUsed::switchingBetweenTheTables()
{
    open(usedWords);
    m_window->PopulateMost();

    // The peg table keeps the order of its numbers, but takes the click for the next
    // most-used table.
    m_window->Populate();
    clickHeader(2);
    QCOMPARE(texts(m_list->headerItem()), (QStringList{"Number", "Word", "Number", "Word"}));
    QCOMPARE(m_list->topLevelItemCount(), 50);
    QCOMPARE(texts(m_list->topLevelItem(0)), (QStringList{"1", "(1) toe ", "51", ""}));
    QCOMPARE(texts(m_list->topLevelItem(8)), (QStringList{"9", "(2) bee ", "59", ""}));
    QCOMPARE(m_list->topLevelItem(0)->textAlignment(1), int(Qt::AlignCenter));
    QVERIFY(!m_list->header()->isSortIndicatorShown());
    // No column is cut off, not even beside the scroll bar.
    QTRY_VERIFY(m_list->verticalScrollBar()->isVisible());
    QVERIFY(m_list->header()->length() <= m_list->viewport()->width());

    m_window->PopulateMost();
    QCOMPARE(texts(m_list->headerItem()), (QStringList{"Count", "Value", "Word", ""}));
    QCOMPARE(column(2), (QStringList{"toe", "rye", "no", "bee"}));
}

QTEST_MAIN(TestMostUsed)
#include "tst_mostused.moc"
