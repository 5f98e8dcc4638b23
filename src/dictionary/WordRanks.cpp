#include "dictionary/WordRanks.h"

#include "core/Cp1252.h"

#include <QFile>

#include <algorithm>

namespace {

constexpr QByteArrayView header = "numbrill word ranks 1";
constexpr QByteArrayView endMark = "end ";

// A word as the word file holds them: no blank, quote, colon or digit.
bool isWord(QByteArrayView bytes)
{
    return !bytes.isEmpty() && std::none_of(bytes.begin(), bytes.end(), [](char c) {
        return c == ' ' || c == '"' || c == ':' || (c >= '0' && c <= '9') || c == '\r' || c == '\n';
    });
}

} // namespace

QString WordRanks::filePath(const QString &installDir)
{
    return installDir + QStringLiteral("/data/ranks.db");
}

bool WordRanks::load(const QString &path, QString *problem)
{
    m_ranks.clear();
    if (problem)
        problem->clear();
    QFile file(path);
    if (!file.exists())
        return false;
    if (!file.open(QIODevice::ReadOnly)) {
        if (problem)
            *problem = QStringLiteral("%1: %2").arg(path, file.errorString());
        return false;
    }
    QString why;
    if (parse(file.readAll(), &why))
        return true;
    if (problem)
        *problem = QStringLiteral("%1: %2").arg(path, why);
    return false;
}

bool WordRanks::parse(const QByteArray &bytes, QString *problem)
{
    m_ranks.clear();
    const auto damaged = [this, problem](const QString &why, qsizetype line) {
        m_ranks.clear();
        if (problem)
            *problem = QStringLiteral("line %1: %2").arg(line).arg(why);
        return false;
    };

    QByteArrayView rest(bytes);
    qsizetype lineNumber = 0;
    bool ended = false;
    while (!rest.isEmpty()) {
        ++lineNumber;
        const qsizetype lineEnd = rest.indexOf("\r\n");
        if (lineEnd < 0)
            return damaged(QStringLiteral("the file is cut off"), lineNumber);
        const QByteArrayView line = rest.first(lineEnd);
        rest = rest.sliced(lineEnd + 2);

        if (ended)
            return damaged(QStringLiteral("lines after the end"), lineNumber);
        if (lineNumber == 1) {
            if (line != header)
                return damaged(QStringLiteral("not a ranks file"), lineNumber);
            continue;
        }
        if (line.startsWith(endMark)) {
            bool ok = false;
            const qsizetype count = line.sliced(endMark.size()).toLongLong(&ok);
            if (!ok || count != lineNumber - 2)
                return damaged(QStringLiteral("the count at the end does not match"), lineNumber);
            ended = true;
            continue;
        }
        const QByteArrayView word = line.sliced(std::min<qsizetype>(2, line.size()));
        if (line.size() < 3 || line.at(0) < '0' + Picture || line.at(0) > '0' + Last ||
            line.at(0) == '0' + Other || line.at(1) != ' ' || !isWord(word))
            return damaged(QStringLiteral("not a rank and a word"), lineNumber);
        const QString decoded = Cp1252::decode(word);
        if (m_ranks.contains(decoded))
            return damaged(QStringLiteral("a word listed twice"), lineNumber);
        m_ranks.insert(decoded, quint8(line.at(0) - '0'));
    }
    if (!ended)
        return damaged(QStringLiteral("the file is cut off"), lineNumber);
    return true;
}

QByteArray WordRanks::toBytes() const
{
    QList<QString> words = m_ranks.keys();
    std::sort(words.begin(), words.end());
    QByteArray bytes = header.toByteArray() + "\r\n";
    for (const QString &word : std::as_const(words))
        bytes += char('0' + m_ranks.value(word)) + QByteArray(" ") + Cp1252::encode(word) + "\r\n";
    bytes += endMark.toByteArray() + QByteArray::number(words.size()) + "\r\n";
    return bytes;
}
