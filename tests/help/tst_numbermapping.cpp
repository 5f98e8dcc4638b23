#include "help/NumberMapping.h"
#include "workspace/Windows.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

// The legend card: its ten texts exactly as users know them, and the one window
// that "Close" hides and the next use shows again.
class TestNumberMapping : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup();

    void showsTheLegend_data();
    void showsTheLegend();
    void closeHidesTheSameWindow();
    void closingTheFrameDiscardsIt();

private:
    static QLabel *label(NumberMapping *window, int digit)
    {
        return window->findChild<QLabel *>(QStringLiteral("Label%1").arg(digit));
    }
};

void TestNumberMapping::cleanup()
{
    Windows::releaseAll();
}

void TestNumberMapping::showsTheLegend_data()
{
    QTest::addColumn<int>("digit");
    QTest::addColumn<QString>("text");

    QTest::newRow("0") << 0 << "0 - s, z - remember as 'z is first letter of zero'";
    QTest::newRow("1") << 1 << "1 - d, t- remember as letters with 1 downstroke";
    QTest::newRow("2") << 2 << "2 - n - remember as having 2 downstrokes";
    QTest::newRow("3") << 3 << "3 - m - has three downstrokes";
    QTest::newRow("4") << 4 << "4 - r - imagine a 4 and an R glued together back-to-back";
    QTest::newRow("5") << 5 << "5 - L - imagine the 5 propped up against a book end (L)";
    QTest::newRow("6") << 6 << "6 - j, g is 6 rotated 180 degrees.";
    QTest::newRow("7") << 7 << "7 - k,c - imagine K as two 7s rotated and glued ";
    QTest::newRow("8") << 8
                       << "8 - f, v - imagine the bottom loop of the 8 as an eFfluent pipe "
                          "discharging ";
    QTest::newRow("9") << 9 << "9 - p, b - b as 9 rotated 180 degrees.";
}

void TestNumberMapping::showsTheLegend()
{
    QFETCH(int, digit);
    QFETCH(QString, text);

    auto *window = Windows::instance<NumberMapping>();
    window->show();
    QCOMPARE(window->windowTitle(), QStringLiteral("Number Mapping Legend"));
    QLabel *line = label(window, digit);
    QVERIFY(line);
    QCOMPARE(line->text(), text);
    QVERIFY(line->isVisible());
    // Stacked in digit order, every text fully in view.
    if (digit > 0)
        QVERIFY(label(window, digit - 1)->geometry().bottom() < line->y());
    QVERIFY(line->fontMetrics().horizontalAdvance(text) <= line->width());
    QVERIFY(window->rect().contains(line->geometry()));
}

void TestNumberMapping::closeHidesTheSameWindow()
{
    QPointer<NumberMapping> window = Windows::instance<NumberMapping>();
    window->show();
    auto *close = window->findChild<QPushButton *>(QStringLiteral("Command1"));
    QCOMPARE(close->text(), QStringLiteral("Close"));
    QVERIFY(close->y() > label(window, 9)->y());

    QTest::mouseClick(close, Qt::LeftButton);
    QVERIFY(!window->isVisible());
    QCoreApplication::processEvents();
    QVERIFY(window);

    QCOMPARE(Windows::instance<NumberMapping>(), window.data());
    window->show();
    QVERIFY(window->isVisible());
}

void TestNumberMapping::closingTheFrameDiscardsIt()
{
    QPointer<NumberMapping> window = Windows::instance<NumberMapping>();
    window->show();
    QVERIFY(window->close());
    QTRY_VERIFY(window.isNull());
    QCOMPARE(Windows::existing<NumberMapping>(), nullptr);
    QVERIFY(Windows::instance<NumberMapping>());
}

QTEST_MAIN(TestNumberMapping)
#include "tst_numbermapping.moc"
