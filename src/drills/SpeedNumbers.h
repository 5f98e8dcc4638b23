#pragma once

#include <QList>
#include <QString>

class QRandomGenerator;

// Speed numbers as memory competitions run them: random digits in rows, memorised for
// a set time and then written down in the same rows. The SpeedNumbersWindow shows the
// digits and the recall grid; this scores what was written and tells which cells are
// wrong.
namespace SpeedNumbers {

// `count` random digits from `random` (a test passes a seeded one).
QString randomDigits(int count, QRandomGenerator &random);

// How a cell of the recall grid turned out.
enum class Cell
{
    Right,
    Wrong,   // a wrong digit, or a blank inside the part that counts
    Unscored // after the last digit written
};

struct Outcome
{
    int score = 0;
    QList<Cell> cells; // one per digit shown
};

// Scores the digits written against those shown, row by row of `rowLength`. `recalled`
// has one character per cell, a blank where nothing was written. A row all right scores
// its length, a row with one mistake half of it, more mistakes nothing. The last row
// written into counts up to its last digit: those digits when all are right, half of
// them rounded up with one mistake, else nothing. Rows after it are not scored.
Outcome score(const QString &shown, const QString &recalled, int rowLength);

// The key of the chunk of `chunk` digits holding position `index` of a row: the images
// of the user go with digits taken in twos or threes from the start of each row.
int chunkStart(int index, int rowLength, int chunk);

} // namespace SpeedNumbers
