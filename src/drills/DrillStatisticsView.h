#pragma once

#include <QWidget>

class DrillHistory;
class Plot;
class QLabel;
class QTreeWidget;

// The drills in the Recall Statistics window: the speed-numbers scores over time with
// the personal bests, and every key with its image, the Images drill's answers, share
// right, median time and due time, and the Flash drill's answers, share right and
// median time.
class DrillStatisticsView : public QWidget
{
    Q_OBJECT

public:
    explicit DrillStatisticsView(QWidget *parent = nullptr);

    enum Column
    {
        KeyColumn,
        ImageColumn,
        ImagesAnswersColumn,
        ImagesRightColumn,
        ImagesMedianColumn,
        DueColumn,
        FlashAnswersColumn,
        FlashRightColumn,
        FlashMedianColumn
    };

    void refresh();

protected:
    void showEvent(QShowEvent *event) override;

private:
    DrillHistory *m_history = nullptr;
    QLabel *m_bests = nullptr;
    QLabel *m_due = nullptr;
    Plot *m_scores = nullptr;
    QTreeWidget *m_keys = nullptr;
};
