#pragma once

#include "core/AppendOnlyFile.h"
#include "recall/Fsrs.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

// The drill history "drills.log" beside the recall history: one line per result of a
// drill, appended and never rewritten, in the text conventions of the other data files
// (Windows-1252, CR LF, one field in double quotes per line). The field starts with
// the time in UTC and the drill; the rest depends on the drill:
//     time:images:grade:milliseconds:right|wrong:key "20261207T101500Z:images:good:1830:right:42"
//     time:flash:shown:milliseconds:right|wrong:key "20261207T101500Z:flash:500:1210:wrong:427"
//     time:speed:row:allowed:used:score:digits "20261207T101500Z:speed:40:300000:281000:73:120"
// An image or flash answer: the key asked, how long the number was shown (flash), how
// long the answer took and whether it was right. A speed-numbers attempt: the length
// of its rows, the memorising time allowed and used (milliseconds), the score and the
// digits shown. Only digits and names are written, so nothing needs an escape.
// DrillHistory reads it and appends every result.
namespace DrillLog {

inline constexpr char fileName[] = "drills.log";

QString filePath(const QString &dataDir);

enum class Drill
{
    Images,
    Flash,
    Speed
};

struct Result
{
    qint64 time = 0; // milliseconds since the epoch, UTC; whole seconds in the file
    Drill drill = Drill::Images;
    Fsrs::Grade grade = Fsrs::Grade::Good; // images
    bool right = false;                    // images, flash
    QString key;                           // images, flash: one to three digits
    qint64 milliseconds = 0;               // images, flash: the answer; speed: memorising
    qint64 allowed = 0;                    // flash: time shown; speed: memorising time allowed
    int rowLength = 0;                     // speed
    int score = 0;                         // speed
    int digits = 0;                        // speed

    friend bool operator==(const Result &, const Result &) = default;
};

// The field of one result, as a line of the file with its CR LF. normalised() says
// what reads back: times in whole seconds, numbers within what the file holds, the
// fields the drill has no use for at their defaults, a key of its digits only.
QByteArray line(const Result &result);
Result normalised(Result result);

struct ParseResult
{
    QList<Result> results;
    // 1-based numbers of the lines that could not be read; they stay in the file.
    QList<qsizetype> badLines;
    // Bytes up to the end of the last whole line; anything after them is the torn
    // line of an append cut short.
    qsizetype wholeLength = 0;
};

// Any line ending (CR LF, LF, a lone CR) ends a line; empty lines are skipped.
ParseResult parse(QByteArrayView bytes);

using LoadResult = AppendOnlyFile::Loaded<ParseResult>;

// Reads the history of a data folder and cuts off a torn last line, so that the next
// append starts on a line of its own. A missing file is an empty history.
LoadResult load(const QString &dataDir);

// Appends results, each on the disk (flushed and synced) before append() returns.
class Writer
{
public:
    explicit Writer(const QString &dataDir);

    // False when the result could not be written; `error` names the file and why.
    bool append(const Result &result, QString *error = nullptr);

private:
    AppendOnlyFile m_file;
};

} // namespace DrillLog
