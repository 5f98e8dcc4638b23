#include "drills/DrillStatistics.h"

#include <QHash>
#include <QMap>

#include <algorithm>

namespace DrillStatistics {

qint64 median(QList<qint64> values)
{
    if (values.isEmpty())
        return 0;
    std::sort(values.begin(), values.end());
    const qsizetype middle = values.size() / 2;
    return values.size() % 2 ? values.at(middle) : (values.at(middle - 1) + values.at(middle)) / 2;
}

QList<KeyFigures> perKey(const QList<DrillLog::Result> &results, DrillLog::Drill drill)
{
    QHash<QString, QList<qint64>> times;
    QHash<QString, int> right;
    for (const DrillLog::Result &result : results) {
        if (result.drill != drill)
            continue;
        times[result.key].append(result.milliseconds);
        right[result.key] += result.right ? 1 : 0;
    }
    QList<KeyFigures> figures;
    figures.reserve(times.size());
    for (auto it = times.cbegin(); it != times.cend(); ++it)
        figures.append(
            {it.key(), int(it.value().size()), right.value(it.key()), median(it.value())});
    std::sort(figures.begin(), figures.end(), [](const KeyFigures &a, const KeyFigures &b) {
        return a.key.size() != b.key.size() ? a.key.size() < b.key.size() : a.key < b.key;
    });
    return figures;
}

QList<KeyFigures> slowest(const QList<KeyFigures> &keys, int count)
{
    QList<KeyFigures> sorted = keys;
    std::stable_sort(sorted.begin(), sorted.end(), [](const KeyFigures &a, const KeyFigures &b) {
        return a.medianMilliseconds > b.medianMilliseconds;
    });
    return sorted.mid(0, count);
}

QList<KeyFigures> mostMissed(const QList<KeyFigures> &keys, int count)
{
    QList<KeyFigures> missed;
    std::copy_if(keys.cbegin(), keys.cend(), std::back_inserter(missed),
                 [](const KeyFigures &figures) { return figures.misses() > 0; });
    std::stable_sort(missed.begin(), missed.end(), [](const KeyFigures &a, const KeyFigures &b) {
        return a.misses() != b.misses() ? a.misses() > b.misses() : a.answers < b.answers;
    });
    return missed.mid(0, count);
}

QList<Best> personalBests(const QList<DrillLog::Result> &results)
{
    QMap<std::pair<int, qint64>, Best> bests;
    for (const DrillLog::Result &result : results) {
        if (result.drill != DrillLog::Drill::Speed)
            continue;
        const std::pair<int, qint64> kind{result.rowLength, result.allowed};
        auto found = bests.find(kind);
        if (found == bests.end())
            bests.insert(kind, {result.rowLength, result.allowed, result.score, result.time});
        else if (result.score > found->score)
            *found = {result.rowLength, result.allowed, result.score, result.time};
    }
    return bests.values();
}

int bestBefore(const QList<DrillLog::Result> &results, qsizetype index)
{
    const DrillLog::Result &attempt = results.at(index);
    int best = -1;
    for (qsizetype i = 0; i < index; ++i) {
        const DrillLog::Result &earlier = results.at(i);
        if (earlier.drill == DrillLog::Drill::Speed && earlier.rowLength == attempt.rowLength &&
            earlier.allowed == attempt.allowed)
            best = std::max(best, earlier.score);
    }
    return best;
}

} // namespace DrillStatistics
