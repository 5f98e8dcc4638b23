// The word file and its lookup. The input's first line is the digit string to look
// up; the rest is the word file "num1.db". Its index is built from the word file the
// way the maintainer builds it, unless the first line reads "<digits>@<position>":
// then the index sends the digits' group to that byte position, wherever it falls.
#include "FuzzSupport.h"
#include "core/Cp1252.h"
#include "dictionary/Dictionary.h"

#include <QDir>
#include <QMap>

#include <cstring>
#include <optional>

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The records of a word file written as the dictionary tool writes it: every record
// "key:word:...:" in quotes with CR LF, words without quote, colon, digit or line
// break, keys ascending and unique. Nothing for any other file.
std::optional<QMap<QByteArray, QList<QByteArray>>> wellFormedRecords(const QByteArray &file)
{
    QMap<QByteArray, QList<QByteArray>> records;
    QByteArray previousKey;
    qsizetype pos = 0;
    while (pos < file.size()) {
        if (file.at(pos++) != '"')
            return std::nullopt;
        const qsizetype keyStart = pos;
        while (pos < file.size() && isDigit(file.at(pos)))
            ++pos;
        const QByteArray key = file.mid(keyStart, pos - keyStart);
        if (key.isEmpty() || pos >= file.size() || file.at(pos++) != ':')
            return std::nullopt;
        if (!previousKey.isEmpty() && key <= previousKey)
            return std::nullopt;
        QList<QByteArray> words;
        while (pos < file.size() && file.at(pos) != '"') {
            const qsizetype wordStart = pos;
            while (pos < file.size() && !std::strchr("\":\r\n0123456789", file.at(pos)))
                ++pos;
            if (pos >= file.size() || file.at(pos) != ':')
                return std::nullopt;
            words.append(file.mid(wordStart, pos - wordStart));
            ++pos;
        }
        if (file.mid(pos, 3) != "\"\r\n")
            return std::nullopt;
        pos += 3;
        records.insert(key, words);
        previousKey = key;
    }
    return records;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input = FuzzSupport::bytesOf(data, size);
    const qsizetype lineEnd = input.indexOf('\n');
    const QByteArray firstLine = lineEnd < 0 ? input : input.left(lineEnd);
    const QByteArray wordFile = lineEnd < 0 ? QByteArray() : input.mid(lineEnd + 1);

    const QString installDir = FuzzSupport::scratchDir();
    QDir().mkpath(installDir + QLatin1String("/data"));
    Dictionary dictionary(installDir);
    FuzzSupport::writeFile(dictionary.wordFilePath(), wordFile);

    QString digits = QString::fromLatin1(firstLine);
    const qsizetype at = digits.indexOf(u'@');
    if (at >= 0) {
        const QString position = digits.mid(at + 1);
        digits.truncate(at);
        QByteArray index;
        const int slot = Dictionary::slotOf(QStringView(digits).left(3));
        for (int i = 0; i < Dictionary::slotCount; ++i)
            index += '"' + (i == slot ? position.toLatin1() : QByteArray("0")) + "\"\r\n";
        FuzzSupport::writeFile(dictionary.indexFilePath(), index);
    } else {
        QString error;
        if (!Dictionary::buildIndex(dictionary.wordFilePath(), dictionary.indexFilePath(), &error))
            FuzzSupport::fail("word file: could not build the index", error);
    }
    dictionary.loadIndex();

    // The digits and their leading groups, as the candidate list asks for them.
    for (qsizetype length = 1; length <= digits.size() && length <= 4; ++length) {
        const QString key = length == 4 ? digits : digits.left(length);
        QString problem;
        const QStringList words = dictionary.lookupWords(key, &problem);
        for (const QString &word : words) {
            if (word.contains(u':') || word.contains(u'"'))
                FuzzSupport::fail("word file: a word holds a separator",
                                  FuzzSupport::visible(key) + QLatin1String(" -> ") +
                                      FuzzSupport::visible(word));
        }
    }

    // A well-formed word file with its own index gives every key the words of its
    // record, except in the last group, which only ends the file.
    const std::optional<QMap<QByteArray, QList<QByteArray>>> records =
        at < 0 ? wellFormedRecords(wordFile) : std::nullopt;
    if (records && !records->isEmpty()) {
        const QByteArray lastGroup = records->lastKey().left(3);
        for (auto it = records->cbegin(); it != records->cend(); ++it) {
            QStringList expected;
            if (it.key().left(3) != lastGroup) {
                for (const QByteArray &word : it.value())
                    expected.append(Cp1252::decode(word));
            }
            const QStringList found = dictionary.lookupWords(QString::fromLatin1(it.key()));
            if (found != expected)
                FuzzSupport::fail("word file: a key did not give the words of its record",
                                  QString::fromLatin1(it.key()) + QLatin1String(": ") +
                                      FuzzSupport::visible(found.join(u'|')) +
                                      QLatin1String(" instead of ") +
                                      FuzzSupport::visible(expected.join(u'|')));
        }
    }
    return 0;
}
