#pragma once

#include "core/CodedWord.h"

#include <QHash>
#include <QList>
#include <QString>

#include <memory>

// An ordered collection of word records, addressed by 1-based position or by an
// optional key that ignores letter case. Members are shared: the record that Item()
// returns is the member itself, so changing its count changes the collection.
// Used for the candidate lookup and ranking and for the usage table of the
// remembered numbers.
class WordCollection
{
public:
    using Record = std::shared_ptr<CodedWord>;

    // Appends a new record. With a non-empty key that is already present the
    // collection is left unchanged and no record is returned.
    Record Add(const QString &word, qint32 count, const QString &sKey = {});

    // The member at a 1-based position or with a key; no record when absent.
    Record Item(int position) const;
    Record Item(const QString &key) const;

    int count() const { return int(m_members.size()); }
    // Makes room for this many members, for a collection filled in one go.
    void reserve(qsizetype members);

    // Removes a member, closing the gap. Returns false when it does not exist.
    bool Remove(int position);

private:
    struct Member
    {
        QString foldedKey; // empty for a member added without a key
        Record record;
    };

    static QString fold(const QString &key) { return key.toCaseFolded(); }

    QList<Member> m_members;
    QHash<QString, Record> m_byKey;
};
