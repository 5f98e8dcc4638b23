#pragma once

#include "recall/Fsrs.h"
#include "recall/RecallHistory.h"

#include <QList>

// The figures behind the plots of the Recall Statistics window, from the answers of
// the recall history and the numbers on the list. Days are the user's days: times are
// moved by `utcOffset` (milliseconds east of UTC) before they are cut into days.
namespace RecallStatistics {

inline constexpr int days = 30;
inline constexpr int weeks = 12;

struct Figures
{
    // Answers per day for the last `days` days, oldest first, today last.
    QList<int> right;
    QList<int> wrong;
    // Numbers falling due on each of the next `days` days, today first (with those
    // overdue and the new ones).
    QList<int> due;
    // The share of right answers per week, oldest first, today's week last, on
    // numbers past learning; -1 for a week without such answers.
    QList<double> retention;
    // The digits of the numbers recalled with a probability of at least 0.9, at the
    // end of each of the last `days` days (today: now), oldest first.
    QList<qint64> digitsHeld;
    // Days in a row, back from today, with every due number answered.
    int streak = 0;
};

// The user's day of a time.
qint64 dayOf(qint64 time, qint64 utcOffset);

Figures compute(const Fsrs &model, const RecallLog::History &log, const QList<RecallItem> &items,
                qint64 now, qint64 utcOffset);

} // namespace RecallStatistics
