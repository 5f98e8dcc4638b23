#pragma once

#include "recall/RecallStatistics.h"

#include <QWidget>

class BackgroundJob;
class Plot;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QSortFilterProxyModel;
class QTreeView;
class RecallHistory;
class RecallTableModel;

// "Recall Statistics": every remembered number with its memory figures, sortable and
// searchable as the Review window is, the plots of the answers, the numbers due, the
// true retention and the digits held, the streak, and the desired retention, which the
// user may change here. Non-modal; opened from the Tools menu and the Recall window.
class RecallStatisticsWindow : public QWidget
{
    Q_OBJECT

public:
    explicit RecallStatisticsWindow(QWidget *parent = nullptr);

    // Whether the figures of the plots are being computed.
    bool isComputing() const;

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void refresh();
    void showFigures(const RecallStatistics::Figures &figures, qint64 now, qint64 utcOffset);
    void retentionChosen(double retention);
    void findNext(bool after);

    RecallHistory *m_history = nullptr;
    RecallTableModel *m_model = nullptr;
    QSortFilterProxyModel *m_sorted = nullptr;
    BackgroundJob *m_job = nullptr;
    bool m_refreshAgain = false;

    QDoubleSpinBox *m_retention = nullptr;
    QLabel *m_streak = nullptr;
    QLineEdit *m_search = nullptr;
    QTreeView *m_table = nullptr;
    Plot *m_answersChart = nullptr;
    Plot *m_dueChart = nullptr;
    Plot *m_retentionChart = nullptr;
    Plot *m_digitsChart = nullptr;
};
