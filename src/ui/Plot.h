#pragma once

#include <QColor>
#include <QList>
#include <QPointF>
#include <QString>
#include <QWidget>

// A small chart of counts: bars or lines of values over a range along the bottom,
// with labels on both axes, a title and, when asked, a legend. It draws with the
// widget's own painter and palette, so the program needs no charting library.
class Plot : public QWidget
{
    Q_OBJECT

public:
    enum class Style
    {
        Bars,
        StackedBars,
        Lines,
        LinesWithPoints
    };

    struct Series
    {
        QString name;
        // An invalid colour takes the next of the plot's own.
        QColor color;
        // For bars, x is the bar's place: 0, 1, 2 and on.
        QList<QPointF> points;
    };

    struct Tick
    {
        qreal at = 0;
        QString label;
    };

    struct Content
    {
        Style style = Style::Lines;
        QList<Series> series;
        qreal xFrom = 0;
        qreal xTo = 1;
        QList<Tick> xTicks;
        // The left axis runs from 0 to the last of these ticks; without any, to 1.
        QList<Tick> yTicks;
        bool legend = false;
    };

    explicit Plot(const QString &title, QWidget *parent = nullptr);

    void setContent(Content content);
    const Content &content() const { return m_content; }

    // Ticks from 0 up to at least `most`, at whole steps of 1, 2 or 5 times a power of
    // ten, about five of them; each labelled with its value and `suffix`.
    static QList<Tick> countTicks(qreal most, const QString &suffix = QString());

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor colorOf(int series) const;

    QString m_title;
    Content m_content;
};
