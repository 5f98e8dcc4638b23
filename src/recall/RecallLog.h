#pragma once

#include "recall/Fsrs.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <memory>

class QFile;

// The recall history "recall.log" in the data folder: one line per answer, appended
// and never rewritten, in the text conventions of the other data files (Windows-1252,
// CR LF, one field in double quotes per line). A field is
//     time:grade:milliseconds:result:number:description
// for example "20261207T101500Z:good:5230:right:314159:pi start": the time of the
// answer in UTC, the grade (again, hard, good, easy), how long the answer took, right
// or wrong, and the entry the answer was for. The description comes last, so a colon
// in it needs no escape. RecallHistory reads it at start and appends every answer.
namespace RecallLog {

inline constexpr char fileName[] = "recall.log";

QString filePath(const QString &dataDir);

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

// The text of an entry as the log holds it: a quote or a line break is a blank.
QString cleanText(QString text);

struct ParseResult
{
    QList<Answer> answers;
    // 1-based numbers of the lines that could not be read; they stay in the file.
    QList<qsizetype> badLines;
    // Bytes up to the end of the last whole line. Anything after them is the torn line
    // of an append cut short, which is ignored.
    qsizetype wholeLength = 0;
};

// Reads the lines of the log. Any line ending (CR LF, LF, a lone CR) ends a line;
// empty lines are skipped.
ParseResult parse(QByteArrayView bytes);

struct LoadResult : ParseResult
{
    bool exists = false;
    // Set when the file exists but cannot be read, with the system's reason.
    QString error;
    // A torn last line was cut off the file.
    bool repaired = false;
};

// Reads the log of a data folder and cuts off a torn last line, so that the next
// append starts on a line of its own. A missing file is an empty history.
LoadResult load(const QString &dataDir);

// Appends answers to the log, each on the disk (flushed and synced) before append()
// returns. The file is opened at the first append and kept open.
class Writer
{
public:
    explicit Writer(QString dataDir);
    ~Writer();

    // False when the answer could not be written; `error` names the file and why.
    bool append(const Answer &answer, QString *error = nullptr);

private:
    QString m_path;
    std::unique_ptr<QFile> m_file;
};

} // namespace RecallLog
