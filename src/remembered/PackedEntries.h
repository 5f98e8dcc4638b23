#pragma once

#include "remembered/RememberedEntry.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

// Remembered numbers as the file holds them: the Windows-1252 bytes of every text in
// one block, and for each entry where its three texts lie. A list of a million
// entries loads, sorts and saves in this form without a text object per field. An
// entry whose text the file cannot hold (a double quote, a line break, a character
// outside the code page) is kept aside whole, as it came, so that nothing is lost
// while the program runs. RememberedFile reads and writes it; RememberedList keeps
// its rows in it.
class PackedEntries
{
public:
    qsizetype size() const { return m_spans.size(); }
    bool isEmpty() const { return m_spans.isEmpty(); }
    void clear();
    // Makes room for this many entries and bytes of text in all.
    void reserve(qsizetype entries, qsizetype bytes);
    // The bytes of text held, those of removed entries included.
    qsizetype byteSize() const { return m_bytes.size(); }

    void append(const RememberedEntry &entry);

    // The texts of one field of a file (the text between its quotes): Value up to the
    // first colon, Description up to the second, Words the rest without its leading
    // blanks. The one place that reads an entry from its field.
    struct FieldTexts
    {
        QByteArrayView value, description, words;
        bool operator==(const FieldTexts &) const = default;
    };
    static FieldTexts cut(QByteArrayView field);
    // Appends the entry of one field, cut as above. A double quote in it becomes a
    // blank; returns whether one did.
    bool appendField(QByteArrayView field);
    // Appends an entry from its three texts in the code page; none holds a quote or
    // a line break.
    void appendTexts(QByteArrayView value, QByteArrayView description, QByteArrayView words);
    // Appends entry `index` of another list, with its tag.
    void appendFrom(const PackedEntries &other, qsizetype index);
    // Puts an entry in at a place, moving the later ones up.
    void insert(qsizetype index, const RememberedEntry &entry);

    // An entry's texts read as a load reads them back: the words without their leading
    // blanks. A number stored in this run keeps the blank its chain begins with in the
    // file, as it always has, but equals the same entry loaded.
    RememberedEntry at(qsizetype index) const;
    QString text(qsizetype index, int column) const;
    // The bytes of one text (0 Value, 1 Description, 2 Words) of an entry the file can
    // hold; empty for an entry kept aside.
    QByteArrayView bytes(qsizetype index, int column) const;
    // Words as they read back from the file.
    static QStringView wordsRead(QStringView words);
    // "Value:Description:Words", the field a save writes; empty for an entry kept aside.
    QByteArrayView field(qsizetype index) const;
    bool isKeptAside(qsizetype index) const { return m_spans.at(index).valueLength < 0; }

    // A number the owner keeps with each entry (the list keeps the order of arrival).
    quint32 tag(qsizetype index) const { return m_spans.at(index).tag; }
    void setTag(qsizetype index, quint32 tag) { m_spans[index].tag = tag; }

    void removeAt(qsizetype index);
    // Takes back the last entry appended, its bytes too.
    void removeLast();
    // Puts the entries into the order of `order`, which holds every index once.
    void reorder(const QList<qsizetype> &order);

    // Makes each entry what reading its field back from the file gives: a colon in its
    // Value or Description moves the rest of the field along, and its words lose their
    // leading blanks.
    void rereadFields();

    // The lines of the file for these entries, in order. False when an entry cannot
    // be written, and then `unwritable` is its field.
    bool fileBytes(QByteArray *bytes, QString *unwritable) const;

private:
    struct Span
    {
        // For an entry kept aside: its index in m_keptAside, and valueLength is -1.
        qsizetype start = 0;
        qint32 valueLength = 0;
        qint32 descriptionLength = 0;
        qint32 wordsLength = 0;
        quint32 tag = 0;
    };

    QByteArray m_bytes;
    QList<Span> m_spans;
    QList<RememberedEntry> m_keptAside;
};
