#pragma once

#include <QFile>
#include <QString>
#include <QStringList>

#include <array>

// The installed word dictionary: the word file "data/num1.db", one record of words
// per digit string, and its block index "data/num.db", the position of every group
// of records with the same first one to three digits. The index is loaded once; each
// lookup opens the word file, reads one group and closes it again, so nothing of the
// word file is kept in memory. The main window uses it for the candidate list, the
// dictionary tool for building indexes and lookups from the command line.
class Dictionary
{
public:
    static constexpr int slotCount = 1111;
    using BlockIndex = std::array<qint32, slotCount>;

    // installDir is the installation folder that holds "data/".
    explicit Dictionary(const QString &installDir = {});

    // Another installation; the index is loaded again by loadIndex().
    void setInstallDir(const QString &installDir) { m_installDir = installDir; }
    QString installDir() const { return m_installDir; }

    QString wordFilePath() const;
    QString indexFilePath() const;

    // Fills the block index from the index file. Slots the file does not provide,
    // and lines that are not a number in range, stay 0.
    void loadIndex();
    const BlockIndex &blockIndex() const { return m_blockIndex; }
    // An index loaded by another reader of the same installation, for a second
    // reader on another thread.
    void setBlockIndex(const BlockIndex &index) { m_blockIndex = index; }

    // The records of the digit string's group followed by the first record of the
    // next group, as concatenated record texts; empty when the group does not exist.
    QString readBlock(const QString &digits);

    // The words of the record whose key is the digit string, in record order.
    // `problem` receives a description when the block holds a damaged record.
    QStringList lookupWords(const QString &digits, QString *problem = nullptr);

    // The words of the digit string's record within a block (see readBlock).
    static QStringList wordsInBlock(const QString &block, const QString &digits,
                                    QString *problem = nullptr);

    // The group key of a record text: its key, cut to three characters.
    static QString recordKey(const QString &record);

    // The index slot of a group key of one to three digits, or -1 for any other text.
    static int slotOf(QStringView groupKey);

    // Derives the block index of a sorted word file and writes it. The group that
    // ends the file is the terminator and is not indexed.
    static bool buildIndex(const QString &wordFile, const QString &indexFile,
                           QString *error = nullptr);

private:
    // Reads one record from m_wordFile at m_recordPos (1-based), quotes included,
    // line end excluded, and moves m_recordPos past the line end. The end of the
    // file ends a record.
    QString readRecord();

    // The word file is read through a buffer of our own, scanned for quotes a
    // chunk at a time; m_recordPos still counts every byte taken from it.
    bool openWordFile(const QString &path, qint64 position);
    bool fillBuffer();        // false at the end of the file
    bool skipByte(char byte); // takes the next byte if it is `byte`

    QString m_installDir;
    BlockIndex m_blockIndex{};
    QFile m_wordFile;
    qint64 m_recordPos = 1;
    QByteArray m_buffer;
    qsizetype m_bufferPos = 0;
};
