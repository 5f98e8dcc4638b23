#include "drills/SpeedNumbers.h"

#include <QRandomGenerator>

namespace SpeedNumbers {

QString randomDigits(int count, QRandomGenerator &random)
{
    QString digits;
    digits.reserve(count);
    for (int i = 0; i < count; ++i)
        digits += QChar(u'0' + random.bounded(10));
    return digits;
}

Outcome score(const QString &shown, const QString &recalled, int rowLength)
{
    Outcome outcome;
    const qsizetype size = shown.size();
    outcome.cells.fill(Cell::Unscored, size);
    if (rowLength < 1)
        return outcome;
    const auto written = [&](qsizetype i) { return i < recalled.size() && recalled.at(i) != u' '; };
    qsizetype last = -1;
    for (qsizetype i = 0; i < size; ++i) {
        if (written(i))
            last = i;
    }
    for (qsizetype rowStart = 0; rowStart <= last; rowStart += rowLength) {
        const qsizetype rowEnd = std::min<qsizetype>(rowStart + rowLength, size);
        // The last row written into counts up to its last digit.
        const qsizetype end = std::min(rowEnd, last + 1);
        int mistakes = 0;
        for (qsizetype i = rowStart; i < end; ++i) {
            const bool right = written(i) && recalled.at(i) == shown.at(i);
            outcome.cells[i] = right ? Cell::Right : Cell::Wrong;
            mistakes += right ? 0 : 1;
        }
        const int digits = int(end - rowStart);
        const bool full = end - rowStart == rowLength;
        if (mistakes == 0)
            outcome.score += digits;
        else if (mistakes == 1)
            outcome.score += full ? digits / 2 : (digits + 1) / 2;
    }
    return outcome;
}

int chunkStart(int index, int rowLength, int chunk)
{
    const int inRow = index % rowLength;
    return index - inRow % chunk;
}

} // namespace SpeedNumbers
