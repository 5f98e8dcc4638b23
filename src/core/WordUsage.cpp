#include "core/WordUsage.h"

#include <utility>

namespace {

bool hasSurrogates(QStringView word)
{
    for (const QChar c : word) {
        if (c.isSurrogate())
            return true;
    }
    return false;
}

// Folding outside the surrogates goes unit by unit, as QString::toCaseFolded() does,
// without making a folded copy; a word with a surrogate pair is folded whole.
quint32 foldedHash(QStringView word)
{
    quint64 hash = 14695981039346656037ULL;
    const auto add = [&hash](char32_t unit) { hash = (hash ^ unit) * 1099511628211ULL; };
    if (!hasSurrogates(word)) {
        for (const QChar c : word)
            add(QChar::toCaseFolded(char32_t(c.unicode())));
    } else {
        for (const QChar c : word.toString().toCaseFolded())
            add(c.unicode());
    }
    return quint32(hash ^ (hash >> 32));
}

bool sameFolded(QStringView a, QStringView b)
{
    if (hasSurrogates(a) || hasSurrogates(b))
        return a.toString().toCaseFolded() == b.toString().toCaseFolded();
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (QChar::toCaseFolded(char32_t(a.at(i).unicode())) !=
            QChar::toCaseFolded(char32_t(b.at(i).unicode())))
            return false;
    }
    return true;
}

} // namespace

void WordUsage::clear()
{
    m_text = QString();
    m_records = {};
    m_buckets = {};
}

void WordUsage::reserve(qsizetype words, qsizetype characters)
{
    m_text.reserve(characters);
    m_records.reserve(size_t(words));
    size_t buckets = 64;
    while (buckets < size_t(words) * 2)
        buckets *= 2;
    if (buckets > m_buckets.size())
        rehash(buckets);
}

void WordUsage::rehash(size_t buckets)
{
    const std::vector<quint32> old = std::exchange(m_buckets, std::vector<quint32>(buckets, 0));
    for (const quint32 first : old) {
        if (first == 0)
            continue;
        size_t at = m_records[first - 1].foldedHash & (buckets - 1);
        while (m_buckets[at] != 0)
            at = (at + 1) & (buckets - 1);
        m_buckets[at] = first;
    }
}

size_t WordUsage::bucketOf(QStringView word, quint32 foldedHash) const
{
    const size_t mask = m_buckets.size() - 1;
    size_t at = foldedHash & mask;
    while (m_buckets[at] != 0) {
        const Record &first = m_records[m_buckets[at] - 1];
        if (first.foldedHash == foldedHash && sameFolded(text(first), word))
            return at;
        at = (at + 1) & mask;
    }
    return at;
}

void WordUsage::countWord(QStringView word, qint32 uses)
{
    if (word.isEmpty())
        return;
    if (m_buckets.empty())
        rehash(64);
    const quint32 hash = foldedHash(word);
    const size_t at = bucketOf(word, hash);
    const Record added{quint32(m_text.size()), quint32(word.size()), uses, hash, 0};

    if (m_buckets[at] != 0) {
        quint32 index = m_buckets[at] - 1;
        for (;;) {
            Record &spelling = m_records[index];
            if (text(spelling) == word) {
                spelling.count += uses;
                return;
            }
            if (spelling.nextSpelling == 0)
                break;
            index = spelling.nextSpelling - 1;
        }
        m_text.append(word);
        m_records.push_back(added);
        m_records[index].nextSpelling = quint32(m_records.size());
        return;
    }

    m_text.append(word);
    m_records.push_back(added);
    m_buckets[at] = quint32(m_records.size());
    if (m_records.size() * 2 > m_buckets.size())
        rehash(m_buckets.size() * 2);
}

qint32 WordUsage::usesOf(QStringView word) const
{
    if (word.isEmpty() || m_buckets.empty())
        return 0;
    const size_t at = bucketOf(word, foldedHash(word));
    return m_buckets[at] != 0 ? m_records[m_buckets[at] - 1].count : 0;
}

WordCollection WordUsage::collection() const
{
    WordCollection words;
    words.reserve(size());
    for (const Record &record : m_records) {
        const QString word = text(record).toString();
        if (!words.Add(word, record.count, word))
            words.Add(word, record.count);
    }
    return words;
}
