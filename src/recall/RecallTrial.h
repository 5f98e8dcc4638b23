#pragma once

#include "recall/Fsrs.h"

#include <QList>
#include <QString>

// One number asked in the Recall window: the typed answer judged digit by digit as
// the self-test judges it (letter case ignored), the hint, which memory words hold
// the digits that went wrong, and the grade the answer suggests.
class RecallTrial
{
public:
    // An answer typed within this many milliseconds per digit, right and without the
    // hint, is graded Easy.
    static constexpr qint64 quickPerDigit = 1000;

    struct Word
    {
        QString word;
        QString digits;
        bool right = true;
    };

    RecallTrial(QString number, QString words);

    // Whether the typed text is a correct beginning of the number (an empty text is).
    bool matchesSoFar(const QString &typed) const;
    bool isRight(const QString &typed) const;

    // The hint after one more click: the memory words up to the next one.
    QString nextHint(const QString &shown) const;

    // The memory words with their digits; a word is wrong when any of its digits was
    // typed wrong or left out.
    QList<Word> judgedWords(const QString &typed) const;

    static Fsrs::Grade proposedGrade(bool right, bool hintUsed, qint64 milliseconds, int digits);

private:
    QString m_number;
    QStringList m_words;
};
