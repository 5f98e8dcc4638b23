#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

// How easily each word of the installed dictionary can be pictured, from the ranks
// file "data/ranks.db" that ships beside the word file. The chain search weighs
// words by it. The file is made by the word list tool; a dictionary a user built
// from a list of their own has none, and a missing or damaged file leaves the ranks
// empty, so that words cost by their place in their record instead.
//
// The file, ASCII with CR LF line ends: the line "numbrill word ranks 1", one line
// "RANK WORD" for every word whose rank is not Other, and the line "end COUNT" with
// the number of word lines, so that a cut-off file is told from a whole one.
class WordRanks
{
public:
    enum Rank : quint8
    {
        Used = 0,     // not from the file: a word of the user's own stored numbers
        Picture = 1,  // an everyday concrete noun that sounds as it is spelt
        Concrete = 2, // another concrete noun that sounds as it is spelt
        Everyday = 3, // another everyday word that sounds as it is spelt
        Other = 4,    // the rest, and every word the file does not list
        Last = 5,     // words only specialists know, and words awkward to picture
    };

    static QString filePath(const QString &installDir);

    // Replaces the ranks with those of the file. A missing file or one that is not a
    // whole ranks file leaves them empty and returns false; `problem` then says why,
    // naming the file, or stays empty when there is no file at all.
    bool load(const QString &path, QString *problem = nullptr);
    bool parse(const QByteArray &bytes, QString *problem = nullptr);
    // The file's bytes for these ranks.
    QByteArray toBytes() const;

    bool isEmpty() const { return m_ranks.isEmpty(); }
    qsizetype size() const { return m_ranks.size(); }
    // Other for a word the file does not list.
    Rank rank(const QString &word) const { return Rank(m_ranks.value(word, Other)); }

    friend bool operator==(const WordRanks &, const WordRanks &) = default;

private:
    QHash<QString, quint8> m_ranks;
};
