// The recall history "recall.log" on any bytes. A load cuts off no more than a torn
// last line; what it reads, written again, reads back the same; and an answer
// appended after it is read back after the answers already there, whatever the file
// held: otherwise an answer could be lost or change on its way through the disk.
#include "FuzzSupport.h"
#include "recall/RecallLog.h"

#include <QDir>
#include <QFile>

namespace {

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QList<RecallLog::Answer> answersOf(const RecallLog::History &history)
{
    QList<RecallLog::Answer> answers;
    for (qsizetype i = 0; i < history.records.size(); ++i)
        answers.append(history.answer(i));
    return answers;
}

QString shown(const RecallLog::Answer &answer)
{
    return QString::fromLatin1(RecallLog::line(answer).trimmed()) + u' ' +
           FuzzSupport::visible(answer.number) + u' ' + FuzzSupport::visible(answer.description);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString dataDir = FuzzSupport::scratchDir();
    const QString path = RecallLog::filePath(dataDir);
    const QByteArray bytes = FuzzSupport::bytesOf(data, size);
    FuzzSupport::writeFile(path, bytes);

    const RecallLog::LoadResult first = RecallLog::load(dataDir);
    const QList<RecallLog::Answer> firstAnswers = answersOf(first);
    if (!first.error.isEmpty())
        FuzzSupport::fail("recall.log: a readable file did not load", first.error);
    const QByteArray repaired = readFile(path);
    if (repaired != bytes.left(first.wholeLength))
        FuzzSupport::fail("recall.log: the load changed more than a torn last line");

    // Read in pieces side by side (as a long log is), the same history.
    const RecallLog::History whole = RecallLog::read(bytes, 1);
    const RecallLog::History inPieces = RecallLog::read(bytes, 2 + int(size % 3));
    if (inPieces.keys != whole.keys || answersOf(inPieces) != answersOf(whole) ||
        inPieces.badLines != whole.badLines || inPieces.wholeLength != whole.wholeLength)
        FuzzSupport::fail("recall.log: read in pieces, another history");

    for (const RecallLog::Answer &answer : firstAnswers) {
        if (RecallLog::normalised(answer) != answer)
            FuzzSupport::fail("recall.log: an answer read is not in the form written",
                              shown(answer));
        const RecallLog::ParseResult again = RecallLog::parse(RecallLog::line(answer));
        if (again.answers.size() != 1 || again.answers.first() != answer ||
            !again.badLines.isEmpty())
            FuzzSupport::fail("recall.log round trip: an answer changed", shown(answer));
    }

    // An answer appended after whatever was there.
    RecallLog::Answer extra;
    extra.time = 1764582000000;
    extra.grade = Fsrs::Grade::Hard;
    extra.milliseconds = 4200;
    extra.right = true;
    extra.number = QStringLiteral("314159");
    extra.description = QStringLiteral("pi: the start");
    {
        RecallLog::Writer writer(dataDir);
        QString error;
        if (!writer.append(extra, &error))
            FuzzSupport::fail("recall.log: an append failed", error);
    }
    const RecallLog::LoadResult second = RecallLog::load(dataDir);
    const QList<RecallLog::Answer> secondAnswers = answersOf(second);
    if (secondAnswers.size() != firstAnswers.size() + 1 ||
        secondAnswers.last() != RecallLog::normalised(extra))
        FuzzSupport::fail("recall.log: the answer appended did not read back last");
    for (qsizetype i = 0; i < firstAnswers.size(); ++i) {
        if (secondAnswers.at(i) != firstAnswers.at(i))
            FuzzSupport::fail("recall.log: an append changed an earlier answer",
                              shown(firstAnswers.at(i)));
    }
    // The lines that could not be read are still there, under their numbers; a line
    // left without its end gets one of its own before the new answer.
    if (second.badLines.mid(0, first.badLines.size()) != first.badLines)
        FuzzSupport::fail("recall.log: an append moved a line that could not be read");
    return 0;
}
