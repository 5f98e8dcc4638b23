#pragma once

#include <QString>
#include <QStringList>

// Turns a list of words into the records of a word file: one record per digit
// string, keys in ascending order, closed by the terminator record. Used by the
// dictionary tool when the shipped dictionary is built.
class WordFileBuilder
{
public:
    // Words are given most preferred first. Returns how many were taken.
    int addWords(const QStringList &words);

    // The record texts without quotes, ready for the quoted-line writer.
    QStringList records() const;

    // Whether a word can stand in a record at all.
    static bool isUsable(const QString &word);

private:
    struct Entry
    {
        QString key;
        QStringList words;       // most preferred first
        QStringList foldedWords; // for the case-insensitive repeat test
    };

    QList<Entry> m_entries;
};
