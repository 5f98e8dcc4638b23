#pragma once

#include <QString>

// One word with its digit string under the phonetic code and a usage count.
// Candidate lists, the remembered numbers' usage table and the word tables all
// carry words in this form. The digit string is always derived from the word.
class CodedWord
{
public:
    QString word() const { return m_word; }
    void setWord(const QString &vData);

    qint32 count() const { return m_count; }
    void setCount(qint32 vData) { m_count = vData; }

    // The digit string of word(); empty only until a word is assigned, or for a
    // word without any coded consonant.
    QString value() const { return m_value; }

private:
    void computeValue();

    QString m_word;
    qint32 m_count = 0;
    QString m_value;
};
