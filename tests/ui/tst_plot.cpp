#include "ui/Plot.h"

#include <QImage>
#include <QTest>

Q_DECLARE_METATYPE(Plot::Style)

namespace {

const QColor first(200, 0, 0);
const QColor second(0, 0, 200);

struct Painted
{
    int pixels = 0;
    int lowest = -1;
};

Painted paintedIn(const QImage &image, const QColor &color)
{
    Painted painted;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y) == color) {
                ++painted.pixels;
                painted.lowest = y;
            }
    return painted;
}

} // namespace

class TestPlot : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void countTicks_data()
    {
        QTest::addColumn<qreal>("most");
        QTest::addColumn<QStringList>("labels");
        QTest::newRow("nothing yet") << 0.0 << QStringList{"0", "1"};
        QTest::newRow("a few") << 3.0 << QStringList{"0", "1", "2", "3"};
        QTest::newRow("by twos") << 7.0 << QStringList{"0", "2", "4", "6", "8"};
        QTest::newRow("per cent") << 100.0 << QStringList{"0", "20", "40", "60", "80", "100"};
        QTest::newRow("thousands") << 12345.0 << QStringList{"0", "5000", "10000", "15000"};
    }

    void countTicks()
    {
        QFETCH(qreal, most);
        QFETCH(QStringList, labels);
        QStringList shown;
        for (const Plot::Tick &tick : Plot::countTicks(most))
            shown.append(tick.label);
        QCOMPARE(shown, labels);
    }

    // Two series of bars: the area each takes up follows its values, and stacked bars
    // put the second on top of the first.
    void bars_data()
    {
        QTest::addColumn<Plot::Style>("style");
        QTest::addColumn<double>("firstValue");
        QTest::addColumn<double>("secondValue");
        QTest::newRow("side by side") << Plot::Style::Bars << 3.0 << 1.0;
        QTest::newRow("stacked") << Plot::Style::StackedBars << 2.0 << 1.0;
        QTest::newRow("stacked, the second larger") << Plot::Style::StackedBars << 1.0 << 3.0;
    }

    void bars()
    {
        QFETCH(Plot::Style, style);
        QFETCH(double, firstValue);
        QFETCH(double, secondValue);
        Plot plot(QStringLiteral("Answers"));
        plot.resize(400, 300);
        Plot::Content content;
        content.style = style;
        content.series = {{QStringLiteral("a"), first, {{0, firstValue}}},
                          {QStringLiteral("b"), second, {{0, secondValue}}}};
        content.xFrom = -0.5;
        content.xTo = 0.5;
        content.yTicks = Plot::countTicks(4);
        plot.setContent(content);
        const QImage image = plot.grab().toImage();

        const Painted a = paintedIn(image, first);
        const Painted b = paintedIn(image, second);
        QVERIFY(a.pixels > 0 && b.pixels > 0);
        QVERIFY(qAbs(double(a.pixels) / b.pixels - firstValue / secondValue) <
                0.1 * firstValue / secondValue);
        if (style == Plot::Style::StackedBars)
            QVERIFY(a.lowest > b.lowest);
        else
            QCOMPARE(a.lowest, b.lowest);
    }
};

QTEST_MAIN(TestPlot)
#include "tst_plot.moc"
