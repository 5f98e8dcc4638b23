#pragma once

#include "recall/Fsrs.h"
#include "recall/RecallHistory.h"

#include <QAbstractTableModel>
#include <QList>

// The table of the Recall Statistics window: one row per remembered number with its
// due time, recall probability now, stability, difficulty, reviews, lapses and last
// grade. SortRole gives each cell's value for sorting (numbers as numbers).
class RecallTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column
    {
        DescriptionColumn,
        NumberColumn,
        DueColumn,
        RecallColumn,
        StabilityColumn,
        DifficultyColumn,
        ReviewsColumn,
        LapsesColumn,
        LastGradeColumn,
        ColumnCount
    };
    static constexpr int SortRole = Qt::UserRole;

    explicit RecallTableModel(QObject *parent = nullptr);

    // Shows these items as they stand at `now`; `utcOffset` turns times into the
    // user's local time.
    void setItems(const QList<RecallItem> &items, const Fsrs &model, qint64 now, qint64 utcOffset);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    static QString gradeName(Fsrs::Grade grade);

private:
    QList<RecallItem> m_items;
    QList<double> m_recall;
    qint64 m_now = 0;
    qint64 m_utcOffset = 0;
};
