// The drill history "drills.log" on any bytes. A load cuts off no more than a torn
// last line; what it reads, written again, reads back the same; and a result appended
// after it is read back after those already there, whatever the file held: otherwise a
// result could be lost or change on its way through the disk.
#include "FuzzSupport.h"
#include "drills/DrillLog.h"

#include <QFile>

namespace {

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString shown(const DrillLog::Result &result)
{
    return QString::fromLatin1(DrillLog::line(result).trimmed());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString dataDir = FuzzSupport::scratchDir();
    const QString path = DrillLog::filePath(dataDir);
    const QByteArray bytes = FuzzSupport::bytesOf(data, size);
    FuzzSupport::writeFile(path, bytes);

    const DrillLog::LoadResult first = DrillLog::load(dataDir);
    if (!first.error.isEmpty())
        FuzzSupport::fail("drills.log: a readable file did not load", first.error);
    if (readFile(path) != bytes.left(first.wholeLength))
        FuzzSupport::fail("drills.log: the load changed more than a torn last line");

    for (const DrillLog::Result &result : first.results) {
        if (DrillLog::normalised(result) != result)
            FuzzSupport::fail("drills.log: a result read is not in the form written",
                              shown(result));
        const DrillLog::ParseResult again = DrillLog::parse(DrillLog::line(result));
        if (again.results.size() != 1 || again.results.first() != result ||
            !again.badLines.isEmpty())
            FuzzSupport::fail("drills.log round trip: a result changed", shown(result));
    }

    // A result appended after whatever was there.
    DrillLog::Result extra;
    extra.time = 1764582000000;
    extra.drill = DrillLog::Drill::Speed;
    extra.rowLength = 40;
    extra.allowed = 300000;
    extra.milliseconds = 281000;
    extra.score = 73;
    extra.digits = 120;
    {
        DrillLog::Writer writer(dataDir);
        QString error;
        if (!writer.append(extra, &error))
            FuzzSupport::fail("drills.log: an append failed", error);
    }
    const DrillLog::LoadResult second = DrillLog::load(dataDir);
    if (second.results.size() != first.results.size() + 1 ||
        second.results.last() != DrillLog::normalised(extra))
        FuzzSupport::fail("drills.log: the result appended did not read back last");
    if (second.results.first(first.results.size()) != first.results)
        FuzzSupport::fail("drills.log: an append changed an earlier result");
    if (second.badLines.mid(0, first.badLines.size()) != first.badLines)
        FuzzSupport::fail("drills.log: an append moved a line that could not be read");
    return 0;
}
