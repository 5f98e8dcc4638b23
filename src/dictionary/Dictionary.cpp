#include "dictionary/Dictionary.h"

#include "core/Cp1252.h"
#include "core/PlainNumber.h"
#include "core/QuotedLineFile.h"

#include <cstring>

Dictionary::Dictionary(const QString &installDir) : m_installDir(installDir) {}

QString Dictionary::wordFilePath() const
{
    return m_installDir + QLatin1String("/data/num1.db");
}

QString Dictionary::indexFilePath() const
{
    return m_installDir + QLatin1String("/data/num.db");
}

void Dictionary::loadIndex()
{
    m_blockIndex.fill(0);
    const std::optional<QStringList> fields = QuotedLineFile::read(indexFilePath());
    if (!fields)
        return;

    // The last slot belongs to no key, so its line is never read.
    const int readable = std::min<int>(int(fields->size()), slotCount - 1);
    for (int slot = 0; slot < readable; ++slot) {
        bool ok = false;
        const int position = fields->at(slot).trimmed().toInt(&ok);
        m_blockIndex[slot] = ok && position > 0 ? position : 0;
    }
}

int Dictionary::slotOf(QStringView groupKey)
{
    const int number = PlainNumber::read(groupKey, 3);
    if (number < 0)
        return -1;
    static constexpr int firstSlot[] = {0, 0, 10, 110};
    return firstSlot[groupKey.size()] + number;
}

QString Dictionary::recordKey(const QString &record)
{
    QStringView key = QStringView(record).mid(1);
    const qsizetype colon = key.indexOf(u':');
    if (colon >= 0)
        key = key.left(colon);
    return key.left(3).toString();
}

bool Dictionary::openWordFile(const QString &path, qint64 position)
{
    m_buffer.clear();
    m_bufferPos = 0;
    m_recordPos = position;
    m_wordFile.setFileName(path);
    return m_wordFile.open(QIODevice::ReadOnly | QIODevice::Unbuffered) &&
           m_wordFile.seek(position - 1);
}

bool Dictionary::fillBuffer()
{
    if (m_bufferPos < m_buffer.size())
        return true;
    m_buffer = m_wordFile.read(8192);
    m_bufferPos = 0;
    return !m_buffer.isEmpty();
}

bool Dictionary::skipByte(char byte)
{
    if (!fillBuffer() || m_buffer.at(m_bufferPos) != byte)
        return false;
    ++m_bufferPos;
    ++m_recordPos;
    return true;
}

QString Dictionary::readRecord()
{
    QByteArray record;
    int quotes = 0;
    while (quotes < 2 && fillBuffer()) {
        const char *begin = m_buffer.constData() + m_bufferPos;
        const qsizetype available = m_buffer.size() - m_bufferPos;
        const auto *quote = static_cast<const char *>(std::memchr(begin, '"', size_t(available)));
        const qsizetype taken = quote ? quote - begin + 1 : available;
        if (quote)
            ++quotes;
        record.append(begin, taken);
        m_bufferPos += taken;
        m_recordPos += taken;
    }
    // The line end; a file with bare LF line ends is read just the same.
    skipByte('\r');
    skipByte('\n');
    return Cp1252::decode(record);
}

QString Dictionary::readBlock(const QString &digits)
{
    const QString groupKey = digits.left(3);
    const int slot = slotOf(groupKey);
    if (slot < 0 || m_blockIndex[slot] <= 0)
        return {};

    QString block;
    if (openWordFile(wordFilePath(), m_blockIndex[slot])) {
        while (fillBuffer()) {
            const QString record = readRecord();
            block += record;
            if (recordKey(record) != groupKey)
                break;
        }
    }
    m_wordFile.close();
    return block;
}

QStringList Dictionary::wordsInBlock(const QString &block, const QString &digits, QString *problem)
{
    if (digits.isEmpty())
        return {};

    // Only a key counts: the digits right after a record's opening quote. A longer
    // key that merely ends with the digits must not lend its words.
    const qsizetype found = block.indexOf(u'"' + digits);
    if (found < 0)
        return {};
    const QStringView fromKey = QStringView(block).mid(found + 1);
    const qsizetype colon = fromKey.indexOf(u':');
    if (colon < 0) {
        if (problem)
            *problem = digits + QLatin1String(" not found in block -") + fromKey.toString();
        return {};
    }
    if (fromKey.left(colon) != digits)
        return {};

    QStringView words = fromKey.mid(colon + 1);
    const qsizetype closingQuote = words.indexOf(u'"');
    if (closingQuote >= 0)
        words = words.left(closingQuote + 1);

    QStringList result;
    for (qsizetype next = words.indexOf(u':'); next >= 0; next = words.indexOf(u':')) {
        result.append(words.left(next).toString());
        words = words.mid(next + 1);
    }
    return result;
}

QStringList Dictionary::lookupWords(const QString &digits, QString *problem)
{
    return wordsInBlock(readBlock(digits), digits, problem);
}

bool Dictionary::buildIndex(const QString &wordFile, const QString &indexFile, QString *error)
{
    Dictionary reader;
    if (!reader.openWordFile(wordFile, 1)) {
        if (error)
            *error = reader.m_wordFile.errorString();
        return false;
    }

    BlockIndex positions{};
    const qint64 size = reader.m_wordFile.size();
    QString previousKey;
    bool inGroup = false;
    qint64 groupStart = 1;
    while (reader.m_recordPos < size) {
        const qint64 recordStart = reader.m_recordPos;
        const QString key = recordKey(reader.readRecord());
        if (inGroup && key == previousKey)
            continue;
        // The group just ended is indexed; the one still open at the end of the
        // file is the terminator and never is.
        if (inGroup) {
            if (const int slot = slotOf(previousKey); slot >= 0 && groupStart <= INT32_MAX)
                positions[slot] = qint32(groupStart);
        }
        inGroup = true;
        groupStart = recordStart;
        previousKey = key;
    }

    QStringList lines;
    lines.reserve(slotCount);
    for (const qint32 position : positions)
        lines.append(QString::number(position));
    return QuotedLineFile::write(indexFile, lines, error);
}
