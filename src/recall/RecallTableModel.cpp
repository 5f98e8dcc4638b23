#include "recall/RecallTableModel.h"

#include <QDateTime>
#include <QTimeZone>

#include <limits>

RecallTableModel::RecallTableModel(QObject *parent) : QAbstractTableModel(parent) {}

void RecallTableModel::setItems(const QList<RecallItem> &items, const Fsrs &model, qint64 now,
                                qint64 utcOffset)
{
    beginResetModel();
    m_items = items;
    m_now = now;
    m_utcOffset = utcOffset;
    m_recall.clear();
    m_recall.reserve(items.size());
    for (const RecallItem &item : items)
        m_recall.append(model.retrievability(item.memory, now));
    endResetModel();
}

int RecallTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_items.size());
}

int RecallTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QString RecallTableModel::gradeName(Fsrs::Grade grade)
{
    switch (grade) {
    case Fsrs::Grade::Again:
        return tr("Again");
    case Fsrs::Grade::Hard:
        return tr("Hard");
    case Fsrs::Grade::Good:
        return tr("Good");
    case Fsrs::Grade::Easy:
        return tr("Easy");
    }
    return {};
}

QVariant RecallTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_items.size())
        return {};
    const RecallItem &item = m_items.at(index.row());
    const bool isNew = item.memory.phase == Fsrs::Phase::New;
    if (role == SortRole) {
        switch (index.column()) {
        case DescriptionColumn:
            return item.entry.description.toLower();
        case NumberColumn:
            return item.entry.number;
        case DueColumn:
            return isNew ? std::numeric_limits<qint64>::min() : item.memory.due;
        case RecallColumn:
            return m_recall.at(index.row());
        case StabilityColumn:
            return item.memory.stability;
        case DifficultyColumn:
            return item.memory.difficulty;
        case ReviewsColumn:
            return item.reviews;
        case LapsesColumn:
            return item.lapses;
        case LastGradeColumn:
            return item.lastGrade ? int(*item.lastGrade) : 0;
        }
        return {};
    }
    if (role == Qt::TextAlignmentRole && index.column() >= DueColumn &&
        index.column() != LastGradeColumn)
        return int(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole)
        return {};
    switch (index.column()) {
    case DescriptionColumn:
        return item.entry.description;
    case NumberColumn:
        return item.entry.number;
    case DueColumn:
        if (isNew || item.memory.due <= m_now)
            return tr("now");
        return QDateTime::fromMSecsSinceEpoch(item.memory.due, QTimeZone(int(m_utcOffset / 1000)))
            .toString(QStringLiteral("yyyy-MM-dd hh:mm"));
    case RecallColumn:
        return isNew ? QString()
                     : QStringLiteral("%1 %").arg(m_recall.at(index.row()) * 100, 0, 'f', 0);
    case StabilityColumn:
        return isNew ? QString() : tr("%1 d").arg(item.memory.stability, 0, 'f', 1);
    case DifficultyColumn:
        return isNew ? QString() : QString::number(item.memory.difficulty, 'f', 1);
    case ReviewsColumn:
        return item.reviews;
    case LapsesColumn:
        return item.lapses;
    case LastGradeColumn:
        return item.lastGrade ? gradeName(*item.lastGrade) : QString();
    }
    return {};
}

QVariant RecallTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case DescriptionColumn:
        return tr("Description");
    case NumberColumn:
        return tr("Number");
    case DueColumn:
        return tr("Due");
    case RecallColumn:
        return tr("Recall now");
    case StabilityColumn:
        return tr("Stability");
    case DifficultyColumn:
        return tr("Difficulty");
    case ReviewsColumn:
        return tr("Reviews");
    case LapsesColumn:
        return tr("Lapses");
    case LastGradeColumn:
        return tr("Last grade");
    }
    return {};
}
