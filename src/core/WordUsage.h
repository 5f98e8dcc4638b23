#pragma once

#include "core/WordCollection.h"

#include <QString>
#include <QStringView>

#include <vector>

// How often each memory word of the remembered numbers is used. A long list holds
// about a hundred thousand different words, so the table keeps them in one block of
// text with a few numbers each, found through one open-addressed table of their
// case-folded forms, instead of a word record with two hash entries per word.
// Each spelling has a record of its own, in the order the words were first counted;
// a look-up ignores letter case and finds the first spelling of a word, as the keys of
// a WordCollection do. RememberedList keeps the table; the candidate ranking asks it
// for counts, and the word tables get it as a WordCollection.
class WordUsage
{
public:
    void clear();
    // Makes room for this many words of this many characters in all.
    void reserve(qsizetype words, qsizetype characters);

    // The number of spellings counted.
    qsizetype size() const { return qsizetype(m_records.size()); }
    bool isEmpty() const { return m_records.empty(); }

    // Counts more uses of exactly this spelling, adding its record when it is new.
    // An empty word is not counted.
    void countWord(QStringView word, qint32 uses = 1);
    // The uses of the first spelling of a word, whatever its letter case; 0 when the
    // word has never been counted.
    qint32 usesOf(QStringView word) const;

    // One record per spelling in the order counted, the first spelling of a word
    // keyed by it and the later ones without a key.
    WordCollection collection() const;

private:
    struct Record
    {
        quint32 start;
        quint32 length;
        qint32 count;
        quint32 foldedHash;
        // The index plus one of the next spelling of the same word; 0 for the last.
        quint32 nextSpelling;
    };

    QStringView text(const Record &record) const
    {
        return QStringView(m_text).sliced(record.start, record.length);
    }
    // The bucket of a word's first spelling, or of the empty place where it would go.
    size_t bucketOf(QStringView word, quint32 foldedHash) const;
    // Spreads the first spellings over this many buckets, a power of two.
    void rehash(size_t buckets);

    QString m_text;
    std::vector<Record> m_records;
    // Each bucket holds the index plus one of the first spelling of a word, or 0.
    std::vector<quint32> m_buckets;
};
