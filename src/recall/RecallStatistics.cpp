#include "recall/RecallStatistics.h"

#include <QHash>

#include <algorithm>
#include <limits>

namespace RecallStatistics {

namespace {

// How far back the streak looks.
constexpr qint64 streakDays = 3650;

qint64 floorDiv(qint64 a, qint64 b)
{
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

// The first time of a user's day, in UTC.
qint64 startOf(qint64 day, qint64 utcOffset)
{
    return day * Fsrs::day - utcOffset;
}

// Weeks begin on Monday; the first day of the epoch was a Thursday.
qint64 weekOf(qint64 day)
{
    return floorDiv(day + 3, 7);
}

} // namespace

qint64 dayOf(qint64 time, qint64 utcOffset)
{
    return floorDiv(time + utcOffset, Fsrs::day);
}

Figures compute(const Fsrs &model, const RecallLog::History &log, const QList<RecallItem> &items,
                qint64 now, qint64 utcOffset)
{
    Figures f;
    const qint64 today = dayOf(now, utcOffset);
    f.right.fill(0, days);
    f.wrong.fill(0, days);
    f.due.fill(0, days);
    f.digitsHeld.fill(0, days);
    QList<int> weekRight(weeks, 0);
    QList<int> weekAll(weeks, 0);
    const qint64 thisWeek = weekOf(today);

    // The answers of each number, in the order they were given.
    const QList<RecallLog::Record> &answers = log.records;
    QHash<RecallKey, int> keyIds;
    keyIds.reserve(log.keys.size());
    for (qsizetype id = 0; id < log.keys.size(); ++id)
        keyIds.insert(log.keys.at(id), int(id));
    QList<int> firstOfKey(keyIds.size() + 1, 0);
    for (const RecallLog::Record &record : answers)
        ++firstOfKey[record.key + 1];
    for (qsizetype k = 1; k < firstOfKey.size(); ++k)
        firstOfKey[k] += firstOfKey[k - 1];
    QList<int> byKey(answers.size());
    {
        QList<int> next = firstOfKey;
        for (int i = 0; i < answers.size(); ++i)
            byKey[next[answers.at(i).key]++] = i;
    }
    QList<qint64> digitsOfKey(keyIds.size(), -1);
    for (const RecallItem &item : items) {
        const auto id =
            keyIds.constFind(RecallHistory::keyOf(item.entry.number, item.entry.description));
        if (id != keyIds.constEnd())
            digitsOfKey[id.value()] = item.entry.number.size();
    }

    // Days on which a number was left due at the day's end.
    const qint64 firstStreakDay = today - streakDays;
    QList<bool> missed(streakDays + 1, false);
    qint64 firstAnswerDay = today;
    auto markMissed = [&](qint64 due, qint64 answered) {
        const qint64 from = std::max(dayOf(due, utcOffset), firstStreakDay);
        const qint64 to = std::min(dayOf(answered, utcOffset) - 1, today - 1);
        for (qint64 d = from; d <= to; ++d)
            missed[d - firstStreakDay] = true;
    };

    for (qsizetype key = 0; key + 1 < firstOfKey.size(); ++key) {
        Fsrs::Memory memory;
        const qint64 digits = digitsOfKey[key];
        const size_t hash = RecallHistory::keyHash(log.keys.at(key));
        // Samples of the digits held: the end of each of the last days, and now.
        int sample = 0;
        auto sampleTime = [&](int s) {
            return s == days - 1 ? now : startOf(today - (days - 2) + s, utcOffset) - 1;
        };
        auto sampleUpTo = [&](qint64 until) {
            while (sample < days && sampleTime(sample) < until) {
                if (digits > 0 && memory.phase != Fsrs::Phase::New &&
                    model.retrievability(memory, sampleTime(sample)) >= 0.9)
                    f.digitsHeld[sample] += digits;
                ++sample;
            }
        };
        for (int i = firstOfKey[key]; i < firstOfKey[key + 1]; ++i) {
            const RecallLog::Record &answer = answers.at(byKey[i]);
            sampleUpTo(answer.time);
            const qint64 day = dayOf(answer.time, utcOffset);
            firstAnswerDay = std::min(firstAnswerDay, day);
            if (day > today - days && day <= today)
                ++(answer.right ? f.right : f.wrong)[int(day - (today - days + 1))];
            if (memory.phase == Fsrs::Phase::Review) {
                const qint64 week = weekOf(day);
                if (week > thisWeek - weeks && week <= thisWeek) {
                    const int w = int(week - (thisWeek - weeks + 1));
                    ++weekAll[w];
                    weekRight[w] += answer.right ? 1 : 0;
                }
            }
            if (memory.phase != Fsrs::Phase::New && digits >= 0)
                markMissed(memory.due, answer.time);
            memory = model.review(memory, answer.grade, answer.time,
                                  RecallHistory::seedOf(hash, answer.time));
        }
        sampleUpTo(std::numeric_limits<qint64>::max());
        if (memory.phase != Fsrs::Phase::New && digits >= 0)
            markMissed(memory.due, now);
    }

    for (const RecallItem &item : items) {
        const qint64 day = item.memory.phase == Fsrs::Phase::New
                               ? today
                               : std::max(dayOf(item.memory.due, utcOffset), today);
        if (day < today + days)
            ++f.due[int(day - today)];
    }

    for (int w = 0; w < weeks; ++w)
        f.retention.append(weekAll[w] > 0 ? double(weekRight[w]) / weekAll[w] : -1.0);

    if (!answers.isEmpty()) {
        // Today counts once nothing is due; until then the streak runs to yesterday.
        const bool todayDone =
            std::none_of(items.cbegin(), items.cend(), [now](const RecallItem &i) {
                return i.memory.phase == Fsrs::Phase::New || i.memory.due <= now;
            });
        qint64 day = todayDone ? today : today - 1;
        while (day >= firstAnswerDay && day >= firstStreakDay && !missed[day - firstStreakDay]) {
            ++f.streak;
            --day;
        }
    }
    return f;
}

} // namespace RecallStatistics
