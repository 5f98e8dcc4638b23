#include "ui/Plot.h"

#include <QHash>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

Plot::Plot(const QString &title, QWidget *parent) : QWidget(parent), m_title(title)
{
    setAccessibleName(title);
    setMinimumSize(280, 200);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void Plot::setContent(Content content)
{
    m_content = std::move(content);
    update();
}

QList<Plot::Tick> Plot::countTicks(qreal most, const QString &suffix)
{
    most = std::max<qreal>(most, 1);
    const qreal factors[] = {1, 2, 5};
    qreal step = 1;
    for (int i = 1; step * 5 < most; ++i)
        step = factors[i % 3] * std::pow(10.0, i / 3);
    QList<Tick> ticks;
    for (qreal value = 0; value < most + step; value += step)
        ticks.append({value, QString::number(value, 'f', 0) + suffix});
    return ticks;
}

QColor Plot::colorOf(int series) const
{
    const QColor &chosen = m_content.series.at(series).color;
    if (chosen.isValid())
        return chosen;
    static const QColor own[] = {QColor(32, 159, 223), QColor(153, 202, 83), QColor(246, 166, 37),
                                 QColor(109, 95, 213), QColor(191, 89, 62)};
    return own[series % std::size(own)];
}

void Plot::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor text = palette().color(QPalette::WindowText);
    const QFontMetrics metrics = fontMetrics();
    const int lineHeight = metrics.height();
    QRect area = rect().adjusted(8, 6, -8, -6);

    QFont titleFont = font();
    titleFont.setBold(true);
    painter.setFont(titleFont);
    painter.setPen(text);
    const int titleHeight = QFontMetrics(titleFont).height();
    painter.drawText(QRect(area.left(), area.top(), area.width(), titleHeight), Qt::AlignCenter,
                     m_title);
    area.setTop(area.top() + titleHeight + 4);
    painter.setFont(font());

    const QList<Series> &series = m_content.series;
    if (m_content.legend && !series.isEmpty()) {
        const int box = lineHeight * 2 / 3;
        int width = 0;
        for (const Series &one : series)
            width += box + 4 + metrics.horizontalAdvance(one.name) + 12;
        int x = area.left() + std::max(0, (area.width() - width) / 2);
        for (int i = 0; i < series.size(); ++i) {
            painter.fillRect(x, area.top() + (lineHeight - box) / 2, box, box, colorOf(i));
            x += box + 4;
            const int nameWidth = metrics.horizontalAdvance(series.at(i).name);
            painter.drawText(QRect(x, area.top(), nameWidth, lineHeight), Qt::AlignVCenter,
                             series.at(i).name);
            x += nameWidth + 12;
        }
        area.setTop(area.top() + lineHeight + 4);
    }

    const QList<Tick> yTicks = m_content.yTicks.isEmpty() ? countTicks(1) : m_content.yTicks;
    int labelWidth = 0;
    for (const Tick &tick : yTicks)
        labelWidth = std::max(labelWidth, metrics.horizontalAdvance(tick.label));
    const QRectF plot(QPointF(area.left() + labelWidth + 6, area.top() + lineHeight / 2),
                      QPointF(area.right() - 4, area.bottom() - lineHeight - 4));
    if (plot.width() <= 0 || plot.height() <= 0)
        return;
    const qreal top = std::max<qreal>(yTicks.last().at, 1);
    const qreal xFrom = m_content.xFrom;
    const qreal xSpan = m_content.xTo > xFrom ? m_content.xTo - xFrom : 1;
    auto toX = [&](qreal x) { return plot.left() + (x - xFrom) / xSpan * plot.width(); };
    auto toY = [&](qreal y) { return plot.bottom() - y / top * plot.height(); };

    QColor grid = text;
    grid.setAlpha(40);
    for (const Tick &tick : yTicks) {
        const qreal y = toY(tick.at);
        painter.setPen(grid);
        painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
        painter.setPen(text);
        painter.drawText(QRectF(area.left(), y - lineHeight / 2.0, labelWidth, lineHeight),
                         Qt::AlignRight | Qt::AlignVCenter, tick.label);
    }
    // Labels along the bottom that would run into the one before are left out.
    qreal clearFrom = area.left();
    for (const Tick &tick : m_content.xTicks) {
        const qreal width = metrics.horizontalAdvance(tick.label);
        // Under its place, and moved in from the edges so that it shows whole.
        const qreal left = std::clamp(toX(tick.at) - width / 2, qreal(area.left()),
                                      std::max(qreal(area.left()), area.right() - width));
        if (left < clearFrom)
            continue;
        painter.drawText(QRectF(left, plot.bottom() + 4, width, lineHeight), Qt::AlignCenter,
                         tick.label);
        clearFrom = left + width + metrics.horizontalAdvance(QLatin1Char(' '));
    }
    painter.drawLine(plot.bottomLeft(), plot.bottomRight());
    painter.drawLine(plot.bottomLeft(), plot.topLeft());

    painter.setClipRect(plot.adjusted(-4, -4, 4, 4));
    const Style style = m_content.style;
    if (style == Style::Bars || style == Style::StackedBars) {
        const bool stacked = style == Style::StackedBars;
        const qreal slot = plot.width() / xSpan * 0.7;
        const qreal width = stacked ? slot : slot / std::max<qsizetype>(series.size(), 1);
        QHash<qreal, qreal> stackedTo;
        for (int i = 0; i < series.size(); ++i) {
            for (const QPointF &point : series.at(i).points) {
                const qreal base = stacked ? stackedTo.value(point.x()) : 0;
                const qreal left = toX(point.x()) - slot / 2 + (stacked ? 0 : i * width);
                painter.fillRect(
                    QRectF(QPointF(left, toY(base + point.y())), QPointF(left + width, toY(base))),
                    colorOf(i));
                if (stacked)
                    stackedTo[point.x()] = base + point.y();
            }
        }
        return;
    }
    for (int i = 0; i < series.size(); ++i) {
        const QColor color = colorOf(i);
        QPainterPath line;
        for (const QPointF &point : series.at(i).points) {
            const QPointF at(toX(point.x()), toY(point.y()));
            if (line.elementCount() == 0)
                line.moveTo(at);
            else
                line.lineTo(at);
            if (style == Style::LinesWithPoints) {
                painter.setPen(Qt::NoPen);
                painter.setBrush(color);
                painter.drawEllipse(at, 3, 3);
            }
        }
        painter.setPen(QPen(color, 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(line);
    }
}
