#pragma once

#include "core/AppendOnlyFile.h"
#include "recall/Fsrs.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QList>
#include <QString>

// The recall history "recall.log" in the data folder: one line per answer, appended
// and never rewritten, in the text conventions of the other data files (Windows-1252,
// CR LF, one field in double quotes per line). A field is
//     time:grade:milliseconds:result:number:description
// for example "20261207T101500Z:good:5230:right:314159:pi start": the time of the
// answer in UTC, the grade (again, hard, good, easy), how long the answer took, right
// or wrong, and the entry the answer was for. The description comes last, so a colon
// in it needs no escape. RecallHistory reads it at start and appends every answer.
// How a number is known: its digits and description, in the form the log writes them.
struct RecallKey
{
    QString number;
    QString description;

    friend bool operator==(const RecallKey &, const RecallKey &) = default;
};

inline size_t qHash(const RecallKey &key, size_t seed = 0)
{
    return qHashMulti(seed, key.number, key.description);
}

namespace RecallLog {

inline constexpr char fileName[] = "recall.log";

QString filePath(const QString &dataDir);

// A time as the log writes it, "20261207T101500Z" (UTC, whole seconds), and back;
// parseTime() refuses anything else, dates that do not exist included.
QByteArray timeText(qint64 time);
bool parseTime(QByteArrayView text, qint64 *time);

struct Answer
{
    qint64 time = 0; // milliseconds since the epoch, UTC; whole seconds in the file
    Fsrs::Grade grade = Fsrs::Grade::Good;
    qint64 milliseconds = 0;
    bool right = false;
    QString number;
    QString description;

    friend bool operator==(const Answer &, const Answer &) = default;
};

// The field of one answer, as a line of the file with its CR LF. A quote or a line
// break in the number or the description becomes a blank, as rv.db reads them, and a
// character outside the code page a question mark; normalised() says what reads back.
QByteArray line(const Answer &answer);
Answer normalised(Answer answer);

// The text of an entry as the log holds it: a quote or a line break is a blank, a
// character outside the code page a question mark; and in the number a colon is a
// blank too.
QString cleanText(const QString &text);
QString cleanNumber(const QString &number);

// One answer held compactly: a long history has a million of them for a hundred
// thousand numbers, each number's texts kept once.
struct Record
{
    qint64 time = 0;
    qint32 milliseconds = 0;
    qint32 key = 0; // index into History::keys
    Fsrs::Grade grade = Fsrs::Grade::Good;
    bool right = false;
};

struct History
{
    QList<RecallKey> keys;
    QList<Record> records;
    // 1-based numbers of the lines that could not be read; they stay in the file.
    QList<qsizetype> badLines;
    // Bytes up to the end of the last whole line. Anything after them is the torn line
    // of an append cut short, which is ignored.
    qsizetype wholeLength = 0;

    Answer answer(qsizetype record) const;
    // Appends an answer in the form normalised() gives.
    void append(const Answer &answer);

private:
    QHash<RecallKey, qint32> m_keyIds;
    friend History read(QByteArrayView bytes);
};

// Reads the lines of the log. Any line ending (CR LF, LF, a lone CR) ends a line;
// empty lines are skipped. A long log is read in pieces on threads side by side;
// `pieces` sets how many (0: one per processor, as the log's length allows). The
// history is the same whatever the number.
History read(QByteArrayView bytes);
History read(QByteArrayView bytes, int pieces);

// The same, each answer whole.
struct ParseResult
{
    QList<Answer> answers;
    QList<qsizetype> badLines;
    qsizetype wholeLength = 0;
};
ParseResult parse(QByteArrayView bytes);

using LoadResult = AppendOnlyFile::Loaded<History>;

// Reads the log of a data folder and cuts off a torn last line, so that the next
// append starts on a line of its own. A missing file is an empty history.
LoadResult load(const QString &dataDir);

// Appends answers to the log, each on the disk (flushed and synced) before append()
// returns. The file is opened at the first append and kept open.
class Writer
{
public:
    explicit Writer(const QString &dataDir);

    // False when the answer could not be written; `error` names the file and why.
    bool append(const Answer &answer, QString *error = nullptr);

private:
    AppendOnlyFile m_file;
};

} // namespace RecallLog
