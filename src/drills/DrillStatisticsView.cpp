#include "drills/DrillStatisticsView.h"

#include "drills/DrillHistory.h"
#include "drills/DrillHub.h"
#include "drills/DrillStatistics.h"
#include "ui/Plot.h"
#include "ui/WindowParts.h"

#include <QDateTime>
#include <QHeaderView>
#include <QMap>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

// A tree item that sorts its figures as numbers.
class KeyItem : public QTreeWidgetItem
{
public:
    using QTreeWidgetItem::QTreeWidgetItem;

    bool operator<(const QTreeWidgetItem &other) const override
    {
        const int column = treeWidget()->sortColumn();
        const QVariant mine = data(column, Qt::UserRole);
        const QVariant theirs = other.data(column, Qt::UserRole);
        if (mine.isValid() && theirs.isValid())
            return mine.toDouble() < theirs.toDouble();
        return QTreeWidgetItem::operator<(other);
    }
};

void setFigure(QTreeWidgetItem *item, int column, const QString &text, double value)
{
    item->setText(column, text);
    item->setData(column, Qt::UserRole, value);
    item->setTextAlignment(column, Qt::AlignRight | Qt::AlignVCenter);
}

QString seconds(qint64 milliseconds)
{
    return QString::number(double(milliseconds) / 1000, 'f', 1);
}

} // namespace

DrillStatisticsView::DrillStatisticsView(QWidget *parent)
    : QWidget(parent), m_history(DrillHub::history())
{
    setObjectName(QStringLiteral("drillStatistics"));
    m_bests = WindowParts::label(this, "bestsLabel");
    m_bests->setWordWrap(true);
    m_due = WindowParts::label(this, "keysDueLabel");

    m_scores = new Plot(tr("Speed numbers: scores"), this);
    m_scores->setObjectName(QStringLiteral("speedChart"));

    m_keys = new QTreeWidget(this);
    m_keys->setObjectName(QStringLiteral("drillKeyTable"));
    m_keys->setRootIsDecorated(false);
    m_keys->setUniformRowHeights(true);
    m_keys->setHeaderLabels({tr("Key"), tr("Image"), tr("Images answers"), tr("Right %"),
                             tr("Median s"), tr("Due"), tr("Flash answers"), tr("Right %"),
                             tr("Median s")});
    m_keys->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_keys->setSortingEnabled(true);
    m_keys->sortByColumn(KeyColumn, Qt::AscendingOrder);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_bests);
    layout->addWidget(m_scores, 1);
    layout->addWidget(m_due);
    layout->addWidget(m_keys, 1);

    connect(m_history, &DrillHistory::changed, this, [this] {
        if (isVisible())
            refresh();
    });
}

void DrillStatisticsView::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    refresh();
}

void DrillStatisticsView::refresh()
{
    const QList<DrillLog::Result> &results = m_history->results();
    const qint64 now = m_history->now();

    QStringList bests;
    for (const DrillStatistics::Best &best : DrillStatistics::personalBests(results))
        bests.append(tr("rows of %1 in %2 min: %3")
                         .arg(best.rowLength)
                         .arg(double(best.allowed) / 60000)
                         .arg(best.score));
    m_bests->setText(bests.isEmpty()
                         ? tr("No speed numbers played yet.")
                         : tr("Personal bests: %1").arg(bests.join(QStringLiteral("; "))));

    // One line of scores per way of playing, over the days.
    QMap<std::pair<int, qint64>, Plot::Series> lines;
    int top = 1;
    qint64 first = now, last = now;
    for (const DrillLog::Result &result : results) {
        if (result.drill != DrillLog::Drill::Speed)
            continue;
        Plot::Series &series = lines[{result.rowLength, result.allowed}];
        if (series.name.isEmpty())
            series.name =
                tr("rows of %1, %2 min").arg(result.rowLength).arg(double(result.allowed) / 60000);
        series.points.append({qreal(result.time), qreal(result.score)});
        top = std::max(top, result.score);
        first = std::min(first, result.time);
        last = std::max(last, result.time);
    }
    Plot::Content scores;
    scores.style = Plot::Style::LinesWithPoints;
    scores.series = lines.values();
    scores.legend = true;
    scores.xFrom = qreal(first - 3600000);
    scores.xTo = qreal(last + 3600000);
    // Five dates along the bottom, the first and the last at the ends; none before the
    // first game.
    for (int i = 0; !lines.isEmpty() && i < 5; ++i) {
        const qreal at = scores.xFrom + (scores.xTo - scores.xFrom) * i / 4;
        scores.xTicks.append(
            {at, QDateTime::fromMSecsSinceEpoch(qint64(at)).toString(QStringLiteral("MM-dd"))});
    }
    scores.yTicks = Plot::countTicks(top);
    m_scores->setContent(scores);

    const DrillImages images = DrillHub::images();
    QMap<QString, QTreeWidgetItem *> rows;
    auto rowOf = [&](const QString &key) {
        QTreeWidgetItem *&item = rows[key];
        if (!item) {
            item = new KeyItem;
            item->setText(KeyColumn, key);
            item->setText(ImageColumn, images.image(key));
        }
        return item;
    };
    auto put = [&](DrillLog::Drill drill, int answersColumn) {
        for (const DrillStatistics::KeyFigures &key :
             DrillStatistics::perKey(m_history->answers(drill))) {
            QTreeWidgetItem *item = rowOf(key.key);
            setFigure(item, answersColumn, QString::number(key.answers), key.answers);
            const double right = 100.0 * key.right / key.answers;
            setFigure(item, answersColumn + 1, QString::number(qRound(right)), right);
            setFigure(item, answersColumn + 2, seconds(key.medianMilliseconds),
                      double(key.medianMilliseconds));
        }
    };
    put(DrillLog::Drill::Images, ImagesAnswersColumn);
    put(DrillLog::Drill::Flash, FlashAnswersColumn);
    int due = 0;
    for (auto it = rows.begin(); it != rows.end(); ++it) {
        if (it.value()->data(ImagesAnswersColumn, Qt::UserRole).isValid()) {
            const qint64 when = m_history->memoryOf(it.key()).due;
            due += when <= now ? 1 : 0;
            it.value()->setText(DueColumn,
                                when <= now ? tr("now") : Fsrs::intervalText(when - now));
            it.value()->setData(DueColumn, Qt::UserRole, double(when));
        }
    }
    // The keys with an image never drilled are due too.
    int fresh = 0;
    for (int digits = 1; digits <= 3; ++digits) {
        for (const QString &key : images.keys(digits))
            fresh += m_history->memoryOf(key).phase == Fsrs::Phase::New ? 1 : 0;
    }
    m_due->setText(tr("Image keys due now: %1 (and %2 never drilled)").arg(due).arg(fresh));

    m_keys->setSortingEnabled(false);
    m_keys->clear();
    m_keys->addTopLevelItems(rows.values());
    m_keys->setSortingEnabled(true);
}
