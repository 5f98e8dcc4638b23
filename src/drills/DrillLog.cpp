#include "drills/DrillLog.h"

#include "recall/RecallLog.h"

#include <QCoreApplication>
#include <QDir>

#include <algorithm>

namespace DrillLog {

namespace {

constexpr qint64 second = 1000;
// 9999-12-31 23:59:59 UTC: the last time the field's four-digit year can hold.
constexpr qint64 lastTime = 253402300799LL * second;
// Every count is written with at most nine digits.
constexpr qint64 largest = 999999999;

constexpr QByteArrayView drillNames[] = {"images", "flash", "speed"};
constexpr QByteArrayView gradeNames[] = {"again", "hard", "good", "easy"};

bool number(QByteArrayView text, qint64 *value)
{
    if (text.isEmpty() || text.size() > 9)
        return false;
    qint64 result = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        result = result * 10 + (c - '0');
    }
    *value = result;
    return true;
}

bool isKey(QByteArrayView text)
{
    return !text.isEmpty() && text.size() <= 3 &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool parseLine(QByteArrayView line, Result *result)
{
    if (line.size() < 2 || line.front() != '"' || line.back() != '"')
        return false;
    const QList<QByteArray> parts = line.sliced(1, line.size() - 2).toByteArray().split(':');
    if (parts.size() < 6 || !RecallLog::parseTime(parts.at(0), &result->time))
        return false;
    const auto drill = std::find(std::begin(drillNames), std::end(drillNames), parts.at(1));
    if (drill == std::end(drillNames))
        return false;
    result->drill = Drill(drill - std::begin(drillNames));
    qint64 a = 0, b = 0, c = 0, d = 0, e = 0;
    if (result->drill == Drill::Speed) {
        if (parts.size() != 7 || !number(parts.at(2), &a) || !number(parts.at(3), &b) ||
            !number(parts.at(4), &c) || !number(parts.at(5), &d) || !number(parts.at(6), &e) ||
            a < 1 || d > e)
            return false;
        result->rowLength = int(a);
        result->allowed = b;
        result->milliseconds = c;
        result->score = int(d);
        result->digits = int(e);
        return true;
    }
    if (parts.size() != 6 || !number(parts.at(3), &b) || !isKey(parts.at(5)))
        return false;
    if (result->drill == Drill::Images) {
        const auto grade = std::find(std::begin(gradeNames), std::end(gradeNames), parts.at(2));
        if (grade == std::end(gradeNames))
            return false;
        result->grade = Fsrs::Grade(grade - std::begin(gradeNames) + 1);
    } else if (!number(parts.at(2), &a)) {
        return false;
    }
    if (parts.at(4) == "right")
        result->right = true;
    else if (parts.at(4) != "wrong")
        return false;
    result->allowed = a;
    result->milliseconds = b;
    result->key = QString::fromLatin1(parts.at(5));
    return true;
}

} // namespace

QString filePath(const QString &dataDir)
{
    return QDir(dataDir).filePath(QLatin1String(fileName));
}

Result normalised(Result given)
{
    Result result;
    result.time = std::clamp<qint64>(given.time, 0, lastTime);
    result.time -= result.time % second;
    result.drill = given.drill;
    result.milliseconds = std::clamp<qint64>(given.milliseconds, 0, largest);
    if (given.drill == Drill::Speed) {
        result.rowLength = int(std::clamp<qint64>(given.rowLength, 1, largest));
        result.allowed = std::clamp<qint64>(given.allowed, 0, largest);
        result.digits = int(std::clamp<qint64>(given.digits, 0, largest));
        result.score = std::clamp(given.score, 0, result.digits);
        return result;
    }
    if (given.drill == Drill::Images)
        result.grade = given.grade;
    else
        result.allowed = std::clamp<qint64>(given.allowed, 0, largest);
    result.right = given.right;
    for (QChar c : given.key) {
        if (c >= u'0' && c <= u'9' && result.key.size() < 3)
            result.key += c;
    }
    if (result.key.isEmpty())
        result.key = QStringLiteral("0");
    return result;
}

QByteArray line(const Result &given)
{
    const Result r = normalised(given);
    QByteArray bytes =
        '"' + RecallLog::timeText(r.time) + ':' + drillNames[int(r.drill)].toByteArray() + ':';
    if (r.drill == Drill::Speed) {
        bytes += QByteArray::number(r.rowLength) + ':' + QByteArray::number(r.allowed) + ':' +
                 QByteArray::number(r.milliseconds) + ':' + QByteArray::number(r.score) + ':' +
                 QByteArray::number(r.digits);
    } else {
        bytes += r.drill == Drill::Images ? gradeNames[int(r.grade) - 1].toByteArray()
                                          : QByteArray::number(r.allowed);
        bytes += ':' + QByteArray::number(r.milliseconds) + (r.right ? ":right:" : ":wrong:") +
                 r.key.toLatin1();
    }
    bytes += "\"\r\n";
    return bytes;
}

ParseResult parse(QByteArrayView bytes)
{
    ParseResult parsed;
    qsizetype lineNumber = 0;
    qsizetype start = 0;
    const qsizetype size = bytes.size();
    while (start < size) {
        qsizetype end = start;
        while (end < size && bytes[end] != '\r' && bytes[end] != '\n')
            ++end;
        if (end == size)
            break; // no line end: the torn line of an append cut short
        ++lineNumber;
        const QByteArrayView text = bytes.sliced(start, end - start);
        qsizetype next = end + 1;
        if (bytes[end] == '\r' && next < size && bytes[next] == '\n')
            ++next;
        parsed.wholeLength = next;
        start = next;
        if (text.isEmpty())
            continue;
        Result result;
        if (parseLine(text, &result))
            parsed.results.append(result);
        else
            parsed.badLines.append(lineNumber);
    }
    return parsed;
}

LoadResult load(const QString &dataDir)
{
    return AppendOnlyFile::load<ParseResult>(filePath(dataDir), parse);
}

Writer::Writer(const QString &dataDir)
    : m_file(filePath(dataDir),
             QCoreApplication::translate("DrillLog", "%1 could not be written: %2"))
{}

bool Writer::append(const Result &result, QString *error)
{
    return m_file.append(line(result), error);
}

} // namespace DrillLog
