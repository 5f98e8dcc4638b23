#include "recall/RecallTrial.h"

#include "core/CodedWord.h"

RecallTrial::RecallTrial(QString number, QString words) : m_number(std::move(number))
{
    m_words = words.split(u' ', Qt::SkipEmptyParts);
}

bool RecallTrial::matchesSoFar(const QString &typed) const
{
    const QString text = typed.trimmed();
    return text.size() <= m_number.size() &&
           QStringView(m_number).left(text.size()).compare(text, Qt::CaseInsensitive) == 0;
}

bool RecallTrial::isRight(const QString &typed) const
{
    return !m_number.isEmpty() && typed.trimmed().compare(m_number, Qt::CaseInsensitive) == 0;
}

QString RecallTrial::nextHint(const QString &shown) const
{
    const qsizetype shownWords = shown.split(u' ', Qt::SkipEmptyParts).size();
    if (shownWords >= m_words.size())
        return shown;
    return QStringList(m_words.mid(0, shownWords + 1)).join(u' ');
}

QList<RecallTrial::Word> RecallTrial::judgedWords(const QString &typed) const
{
    const QString text = typed.trimmed();
    QList<Word> judged;
    qsizetype at = 0;
    for (const QString &word : m_words) {
        CodedWord coded;
        coded.setWord(word);
        Word w{word, coded.value(), true};
        const qsizetype length = w.digits.size();
        // A word whose digits lie beyond the number (words that do not spell it) is
        // judged by what is there.
        for (qsizetype i = at; i < at + length && i < m_number.size(); ++i) {
            if (i >= text.size() || text.at(i).toCaseFolded() != m_number.at(i).toCaseFolded()) {
                w.right = false;
                break;
            }
        }
        at += length;
        judged.append(w);
    }
    return judged;
}

Fsrs::Grade RecallTrial::proposedGrade(bool right, bool hintUsed, qint64 milliseconds, int digits)
{
    if (!right)
        return Fsrs::Grade::Again;
    if (hintUsed)
        return Fsrs::Grade::Hard;
    if (milliseconds <= quickPerDigit * qMax(1, digits))
        return Fsrs::Grade::Easy;
    return Fsrs::Grade::Good;
}
