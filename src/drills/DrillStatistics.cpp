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

void add(Answers &answers, const DrillLog::Result &result)
{
    KeyAnswers &key = answers[result.key];
    key.milliseconds.append(result.milliseconds);
    key.right += result.right ? 1 : 0;
}

QList<KeyFigures> perKey(const Answers &answers)
{
    QList<KeyFigures> figures;
    figures.reserve(answers.size());
    for (auto it = answers.cbegin(); it != answers.cend(); ++it)
        figures.append(
            {it.key(), int(it->milliseconds.size()), it->right, median(it->milliseconds)});
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
