#include "recall/RecallLog.h"

#include "core/Cp1252.h"
#include "core/LargePages.h"

#include <QCoreApplication>
#include <QDir>
#include <QThread>

#include <algorithm>
#include <cstring>
#include <functional>
#include <thread>
#include <vector>

namespace RecallLog {

namespace {

constexpr qint64 second = 1000;
// 9999-12-31 23:59:59 UTC: the last time the field's four-digit year can hold.
constexpr qint64 lastTime = 253402300799LL * second;
constexpr qint64 longestAnswer = 999999999;

constexpr QByteArrayView gradeNames[] = {"again", "hard", "good", "easy"};
constexpr QByteArrayView rightWord = "right";
constexpr QByteArrayView wrongWord = "wrong";

// Days since 1970-01-01 of a date of the Gregorian calendar, and back.
qint64 daysFromCivil(qint64 y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const qint64 era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = unsigned(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + qint64(doe) - 719468;
}

void civilFromDays(qint64 z, qint64 *y, unsigned *m, unsigned *d)
{
    z += 719468;
    const qint64 era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = unsigned(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    *d = doy - (153 * mp + 2) / 5 + 1;
    *m = mp < 10 ? mp + 3 : mp - 9;
    *y = qint64(yoe) + era * 400 + (*m <= 2);
}

unsigned daysInMonth(qint64 y, unsigned m)
{
    static constexpr unsigned days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    return m == 2 && leap ? 29 : days[m - 1];
}

bool digitsOf(QByteArrayView text, qint64 *value)
{
    if (text.isEmpty())
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

// The number written with the `count` digits at `text`; -1 when one of them is not a
// digit.
qint64 digitsAt(const char *text, int count)
{
    qint64 value = 0;
    for (int i = 0; i < count; ++i) {
        const unsigned digit = static_cast<unsigned char>(text[i]) - unsigned('0');
        if (digit > 9)
            return -1;
        value = value * 10 + digit;
    }
    return value;
}

// A few bytes compared in place, without a call into the library.
bool equals(QByteArrayView text, QByteArrayView word)
{
    return text.size() == word.size() &&
           std::memcmp(text.data(), word.data(), size_t(word.size())) == 0;
}

// The text from `from` up to the next colon of `field`, and `from` moved past that
// colon; false when no colon follows. The parts before the number are a few bytes
// long, so a plain loop finds their end sooner than a library search would.
bool nextPart(QByteArrayView field, qsizetype *from, QByteArrayView *part)
{
    for (qsizetype i = *from; i < field.size(); ++i) {
        if (field[i] == ':') {
            *part = field.sliced(*from, i - *from);
            *from = i + 1;
            return true;
        }
    }
    return false;
}

// The field of a line: the text between its quotes, or nothing when the line is not
// one quoted field. `texts` is the part "number:description"; whether it holds the
// colon after the number is for the caller to see.
bool parseLine(QByteArrayView line, Record *record, QByteArrayView *texts)
{
    if (line.size() < 2 || line.front() != '"' || line.back() != '"')
        return false;
    const QByteArrayView field = line.sliced(1, line.size() - 2);
    if (field.contains('"'))
        return false;
    // The time has a fixed width and holds no colon.
    constexpr qsizetype timeWidth = 16;
    if (field.size() <= timeWidth || field[timeWidth] != ':' ||
        !parseTime(field.first(timeWidth), &record->time))
        return false;
    QByteArrayView grade, milliseconds, result;
    qsizetype from = timeWidth + 1;
    if (!nextPart(field, &from, &grade) || !nextPart(field, &from, &milliseconds) ||
        !nextPart(field, &from, &result))
        return false;
    *texts = field.sliced(from);
    const auto name = std::find_if(std::begin(gradeNames), std::end(gradeNames),
                                   [&](QByteArrayView name) { return equals(grade, name); });
    if (name == std::end(gradeNames))
        return false;
    record->grade = Fsrs::Grade(name - std::begin(gradeNames) + 1);
    qint64 ms = 0;
    if (milliseconds.size() > 9 || !digitsOf(milliseconds, &ms))
        return false;
    record->milliseconds = qint32(ms);
    if (equals(result, rightWord))
        record->right = true;
    else if (equals(result, wrongWord))
        record->right = false;
    else
        return false;
    return true;
}

// The hash of a number's texts in the log: eight bytes a step, each mixed in with a
// multiplication and the high half folded down. Texts are a few dozen bytes, and a long
// log hashes one a line.
quint64 textHash(QByteArrayView texts)
{
    constexpr quint64 prime = 0x100000001b3ULL;
    quint64 h = 0xcbf29ce484222325ULL ^ quint64(texts.size());
    const char *at = texts.data();
    const char *const end = at + texts.size();
    for (; end - at >= 8; at += 8) {
        quint64 word;
        std::memcpy(&word, at, 8);
        h = (h ^ word) * prime;
        h ^= h >> 29;
    }
    quint64 tail = 0;
    std::memcpy(&tail, at, size_t(end - at));
    h = (h ^ tail) * prime;
    return h ^ (h >> 32);
}

// The numbers met so far by the bytes of their texts ("number:description"), kept side
// by side in a pool, in one flat table probed linearly: a long history looks a number
// up once per line. Equal bytes are the same number, as they decode to the same texts.
class KeyTable
{
public:
    qsizetype size() const { return m_starts.size(); }
    QByteArrayView bytes(qsizetype id) const
    {
        const qsizetype end = id + 1 < m_starts.size() ? m_starts.at(id + 1) : m_pool.size();
        return QByteArrayView(m_pool).sliced(m_starts.at(id), end - m_starts.at(id));
    }

    // The id of the number with these texts; -1 when they are new, and then `free` is
    // the slot where add() puts them.
    qint32 find(QByteArrayView texts, quint64 hash, qsizetype *free)
    {
        if ((size() + 1) * 2 > m_slots.size())
            grow();
        const size_t mask = size_t(m_slots.size() - 1);
        for (size_t i = hash & mask;; i = (i + 1) & mask) {
            const Slot &slot = m_slots.at(qsizetype(i));
            if (slot.id < 0) {
                *free = qsizetype(i);
                return -1;
            }
            if (slot.hash == hash && slot.length == texts.size() &&
                std::memcmp(m_pool.constData() + m_starts.at(slot.id), texts.data(),
                            size_t(texts.size())) == 0)
                return slot.id;
        }
    }
    qint32 add(QByteArrayView texts, quint64 hash, qsizetype free)
    {
        m_slots[free] = {hash, qint32(size()), quint32(texts.size())};
        m_starts.append(m_pool.size());
        m_pool.append(texts.data(), texts.size());
        return m_slots.at(free).id;
    }
    qint32 idOf(QByteArrayView texts, quint64 hash)
    {
        qsizetype free = 0;
        const qint32 id = find(texts, hash, &free);
        return id >= 0 ? id : add(texts, hash, free);
    }

private:
    struct Slot
    {
        quint64 hash = 0;
        qint32 id = -1;
        quint32 length = 0;
    };

    void grow()
    {
        const QList<Slot> old =
            std::exchange(m_slots, QList<Slot>(qMax<qsizetype>(1024, m_slots.size() * 2)));
        const size_t mask = size_t(m_slots.size() - 1);
        for (const Slot &slot : old) {
            if (slot.id < 0)
                continue;
            size_t i = slot.hash & mask;
            while (m_slots.at(qsizetype(i)).id >= 0)
                i = (i + 1) & mask;
            m_slots[qsizetype(i)] = slot;
        }
    }

    QList<Slot> m_slots;
    QByteArray m_pool;
    QList<qsizetype> m_starts;
};

} // namespace

QByteArray timeText(qint64 time)
{
    const qint64 seconds = time / second;
    const qint64 days = seconds / 86400;
    const qint64 rest = seconds % 86400;
    qint64 y;
    unsigned m, d;
    civilFromDays(days, &y, &m, &d);
    return QString::asprintf("%04lld%02u%02uT%02lld%02lld%02lldZ", static_cast<long long>(y), m, d,
                             static_cast<long long>(rest / 3600),
                             static_cast<long long>(rest / 60 % 60),
                             static_cast<long long>(rest % 60))
        .toLatin1();
}

bool parseTime(QByteArrayView text, qint64 *time)
{
    // yyyyMMddThhmmssZ
    if (text.size() != 16 || text[8] != 'T' || text[15] != 'Z')
        return false;
    const char *const p = text.data();
    const qint64 y = digitsAt(p, 4), mo = digitsAt(p + 4, 2), d = digitsAt(p + 6, 2);
    const qint64 h = digitsAt(p + 9, 2), mi = digitsAt(p + 11, 2), s = digitsAt(p + 13, 2);
    if (y < 1970 || mo < 1 || mo > 12 || d < 1 || d > daysInMonth(y, unsigned(mo)) || h < 0 ||
        h > 23 || mi < 0 || mi > 59 || s < 0 || s > 59)
        return false;
    *time = ((daysFromCivil(y, unsigned(mo), unsigned(d)) * 24 + h) * 60 + mi) * 60 * second +
            s * second;
    return true;
}

QString filePath(const QString &dataDir)
{
    return QDir(dataDir).filePath(QLatin1String(fileName));
}

namespace {

QString cleaned(const QString &text, bool number)
{
    const auto blanked = [number](QChar c) {
        return c == u'"' || c == u'\r' || c == u'\n' || (number && c == u':');
    };
    // Most texts are clean already and are kept as they are, without a copy.
    const bool clean = std::none_of(text.cbegin(), text.cend(), [&](QChar c) {
        return blanked(c) || (c.unicode() >= 0x80 && !Cp1252::canEncode(c));
    });
    if (clean)
        return text;
    QString out = text;
    for (QChar &c : out) {
        if (blanked(c))
            c = u' ';
        else if (!Cp1252::canEncode(c))
            c = u'?';
    }
    return out;
}

} // namespace

QString cleanText(const QString &text)
{
    return cleaned(text, false);
}

QString cleanNumber(const QString &number)
{
    return cleaned(number, true);
}

Answer normalised(Answer answer)
{
    answer.time = std::clamp<qint64>(answer.time, 0, lastTime);
    answer.time -= answer.time % second;
    answer.milliseconds = std::clamp<qint64>(answer.milliseconds, 0, longestAnswer);
    answer.number = cleanNumber(answer.number);
    answer.description = cleanText(answer.description);
    return answer;
}

QByteArray line(const Answer &given)
{
    const Answer answer = normalised(given);
    QByteArray bytes;
    bytes.reserve(64 + answer.number.size() + answer.description.size());
    bytes += '"';
    bytes += timeText(answer.time);
    bytes += ':';
    bytes += gradeNames[int(answer.grade) - 1];
    bytes += ':';
    bytes += QByteArray::number(answer.milliseconds);
    bytes += answer.right ? ":right:" : ":wrong:";
    bytes += Cp1252::encode(answer.number);
    bytes += ':';
    bytes += Cp1252::encode(answer.description);
    bytes += "\"\r\n";
    return bytes;
}

Answer History::answer(qsizetype index) const
{
    const Record &record = records.at(index);
    const RecallKey &key = keys.at(record.key);
    return {record.time,  record.grade, record.milliseconds,
            record.right, key.number,   key.description};
}

void History::append(const Answer &answer)
{
    if (m_keyIds.isEmpty() && !keys.isEmpty()) {
        m_keyIds.reserve(keys.size());
        for (qsizetype i = 0; i < keys.size(); ++i)
            m_keyIds.insert(keys.at(i), qint32(i));
    }
    RecallKey key{answer.number, answer.description};
    auto id = m_keyIds.constFind(key);
    if (id == m_keyIds.constEnd()) {
        id = m_keyIds.insert(key, qint32(keys.size()));
        keys.append(std::move(key));
    }
    records.append(
        {answer.time, qint32(answer.milliseconds), id.value(), answer.grade, answer.right});
}

namespace {

// What one piece of the log reads: its answers, and the numbers they are for by their
// bytes, decoded once the pieces are put together. A piece ends at a line end, so its
// lines are those of the file.
struct Piece
{
    History history;
    KeyTable keys;
    qsizetype lines = 0;
};

// `room` is the bytes whose answers the piece's records should have room for: the
// first piece takes in the answers of the others after it, in place.
void readPiece(QByteArrayView bytes, qsizetype room, Piece &piece)
{
    History &history = piece.history;
    // A line of the log is some 60 bytes.
    history.records.reserve(room / 50 + 1);
    LargePages::prefer(history.records.data(),
                       size_t(history.records.capacity()) * sizeof(Record));
    qsizetype start = 0;
    const qsizetype size = bytes.size();
    // The next CR and the next LF at or after `start`, each searched for again only
    // once passed: a file of lone CRs or lone LFs is read in one sweep too.
    qsizetype nextCr = -1;
    qsizetype nextLf = -1;
    const auto findFromStart = [&](char c) {
        const void *found = std::memchr(bytes.data() + start, c, size_t(size - start));
        return found ? static_cast<const char *>(found) - bytes.data() : size;
    };
    while (start < size) {
        if (nextCr < start)
            nextCr = findFromStart('\r');
        if (nextLf < start)
            nextLf = findFromStart('\n');
        const qsizetype end = std::min(nextCr, nextLf);
        if (end == size)
            break; // no line end: the torn line of an append cut short
        ++piece.lines;
        const QByteArrayView text = bytes.sliced(start, end - start);
        qsizetype next = end + 1;
        if (bytes[end] == '\r' && next < size && bytes[next] == '\n')
            ++next;
        history.wholeLength = next;
        start = next;
        if (text.isEmpty())
            continue;
        Record record;
        QByteArrayView texts;
        qsizetype free = 0;
        const bool parsed = parseLine(text, &record, &texts);
        const quint64 hash = parsed ? textHash(texts) : 0;
        // Texts met before are known to hold the colon after the number.
        record.key = parsed ? piece.keys.find(texts, hash, &free) : -1;
        if (record.key < 0) {
            if (!parsed || !texts.contains(':')) {
                history.badLines.append(piece.lines);
                continue;
            }
            record.key = piece.keys.add(texts, hash, free);
        }
        history.records.append(record);
    }
}

// Puts the piece that follows `into` in the file, which starts `offset` bytes in, after
// it: as if one piece had read both.
void merge(Piece &into, const Piece &next, qsizetype offset)
{
    History &history = into.history;
    const History &later = next.history;
    QList<qint32> ids(next.keys.size());
    for (qsizetype key = 0; key < next.keys.size(); ++key) {
        const QByteArrayView texts = next.keys.bytes(key);
        ids[key] = into.keys.idOf(texts, textHash(texts));
    }
    history.records.reserve(history.records.size() + later.records.size());
    for (Record record : later.records) {
        record.key = ids.at(record.key);
        history.records.append(record);
    }
    for (const qsizetype line : later.badLines)
        history.badLines.append(into.lines + line);
    into.lines += next.lines;
    if (later.wholeLength > 0)
        history.wholeLength = offset + later.wholeLength;
}

} // namespace

History read(QByteArrayView bytes, int pieces)
{
    // A long log is read in pieces side by side, one per processor, each at least a
    // mebibyte; a piece ends after a line feed, where a line always ends.
    if (pieces <= 0)
        pieces =
            std::clamp(int(bytes.size() >> 20), 1, std::clamp(QThread::idealThreadCount(), 1, 4));
    QList<qsizetype> starts{0};
    for (int k = 1; k < pieces; ++k) {
        const qsizetype from = std::max(starts.last(), bytes.size() * k / pieces);
        const void *lf = std::memchr(bytes.data() + from, '\n', size_t(bytes.size() - from));
        if (!lf)
            break;
        const qsizetype start = static_cast<const char *>(lf) - bytes.data() + 1;
        if (start >= bytes.size())
            break;
        starts.append(start);
    }
    starts.append(bytes.size());

    std::vector<Piece> parts(size_t(starts.size() - 1));
    const auto readOne = [&](size_t i) {
        const QByteArrayView piece = bytes.sliced(
            starts.at(qsizetype(i)), starts.at(qsizetype(i) + 1) - starts.at(qsizetype(i)));
        readPiece(piece, i == 0 ? bytes.size() : piece.size(), parts[i]);
    };
    std::vector<std::thread> threads;
    for (size_t i = 1; i < parts.size(); ++i)
        threads.emplace_back(readOne, i);
    readOne(0);
    for (std::thread &thread : threads)
        thread.join();
    for (size_t i = 1; i < parts.size(); ++i)
        merge(parts[0], parts[i], starts.at(qsizetype(i)));

    // The texts of each number decoded once, shared out between the threads again.
    History &history = parts[0].history;
    const KeyTable &keys = parts[0].keys;
    history.keys.resize(keys.size());
    const auto decode = [&](size_t part) {
        const qsizetype count = keys.size();
        for (qsizetype id = count * qsizetype(part) / qsizetype(parts.size());
             id < count * qsizetype(part + 1) / qsizetype(parts.size()); ++id) {
            // The number holds no colon: the first one ends it.
            const QByteArrayView texts = keys.bytes(id);
            const qsizetype colon = texts.indexOf(':');
            history.keys[id] = {Cp1252::decode(texts.first(colon)),
                                Cp1252::decode(texts.sliced(colon + 1))};
        }
    };
    threads.clear();
    for (size_t i = 1; i < parts.size(); ++i)
        threads.emplace_back(decode, i);
    decode(0);
    for (std::thread &thread : threads)
        thread.join();
    return std::move(history);
}

History read(QByteArrayView bytes)
{
    return read(bytes, 0);
}

ParseResult parse(QByteArrayView bytes)
{
    const History history = read(bytes);
    ParseResult result;
    result.answers.reserve(history.records.size());
    for (qsizetype i = 0; i < history.records.size(); ++i)
        result.answers.append(history.answer(i));
    result.badLines = history.badLines;
    result.wholeLength = history.wholeLength;
    return result;
}

LoadResult load(const QString &dataDir)
{
    return AppendOnlyFile::load<History>(filePath(dataDir), read);
}

Writer::Writer(const QString &dataDir)
    : m_file(filePath(dataDir),
             QCoreApplication::translate("RecallLog", "%1 could not be written: %2"))
{}

bool Writer::append(const Answer &answer, QString *error)
{
    return m_file.append(line(answer), error);
}

} // namespace RecallLog
