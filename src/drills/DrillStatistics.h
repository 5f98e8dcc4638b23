#pragma once

#include "drills/DrillLog.h"

#include <QHash>
#include <QList>
#include <QString>

// The figures of the drills, from the results of the drill history: how each key fares
// in the Images and Flash drills, the keys that are candidates for a better image, and
// the best speed-numbers scores. The drill windows and the statistics show them.
namespace DrillStatistics {

struct KeyFigures
{
    QString key;
    int answers = 0;
    int right = 0;
    qint64 medianMilliseconds = 0;

    int misses() const { return answers - right; }
};

// The answers of one drill (Images or Flash) by key, gathered as they come.
struct KeyAnswers
{
    QList<qint64> milliseconds;
    int right = 0;
};
using Answers = QHash<QString, KeyAnswers>;
void add(Answers &answers, const DrillLog::Result &result);

// Every key answered, in the order of the keys (shorter keys first).
QList<KeyFigures> perKey(const Answers &answers);

// The `count` keys with the longest median time, slowest first.
QList<KeyFigures> slowest(const QList<KeyFigures> &keys, int count = 10);
// The `count` keys missed most often, at least once, the most missed first; a key
// missed as often as another but answered less often comes first.
QList<KeyFigures> mostMissed(const QList<KeyFigures> &keys, int count = 10);

// The median of some times; 0 for none.
qint64 median(QList<qint64> values);

// The best score for one way of playing speed numbers: a row length and a memorising
// time allowed.
struct Best
{
    int rowLength = 0;
    qint64 allowed = 0;
    int score = 0;
    qint64 time = 0; // when it was reached first
};

// One best per row length and time allowed, ordered by them.
QList<Best> personalBests(const QList<DrillLog::Result> &results);
// The best before `result` for its row length and time, -1 for a first attempt.
int bestBefore(const QList<DrillLog::Result> &results, qsizetype index);

} // namespace DrillStatistics
