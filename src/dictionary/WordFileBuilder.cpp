#include "dictionary/WordFileBuilder.h"

#include "core/QuotedLineFile.h"
#include "core/CodedWord.h"

#include <QHash>

#include <algorithm>

bool WordFileBuilder::isUsable(const QString &word)
{
    if (word.isEmpty() || !QuotedLineFile::canWrite(word))
        return false;
    return std::none_of(word.cbegin(), word.cend(),
                        [](QChar c) { return c == u':' || c.isDigit() || c.isSpace(); });
}

int WordFileBuilder::addWords(const QStringList &words)
{
    QHash<QString, qsizetype> entryOfKey;
    for (qsizetype i = 0; i < m_entries.size(); ++i)
        entryOfKey.insert(m_entries.at(i).key, i);

    int taken = 0;
    for (const QString &word : words) {
        if (!isUsable(word))
            continue;
        CodedWord record;
        record.setWord(word);
        const QString key = record.value();
        if (key.isEmpty())
            continue;

        auto it = entryOfKey.find(key);
        if (it == entryOfKey.end()) {
            it = entryOfKey.insert(key, m_entries.size());
            m_entries.append({key, {}, {}});
        }
        Entry &entry = m_entries[*it];
        const QString folded = word.toCaseFolded();
        if (entry.foldedWords.contains(folded))
            continue;
        entry.words.append(word);
        entry.foldedWords.append(folded);
        ++taken;
    }
    return taken;
}

QStringList WordFileBuilder::records() const
{
    QList<const Entry *> sorted;
    sorted.reserve(m_entries.size());
    for (const Entry &entry : m_entries)
        sorted.append(&entry);
    // Keys are digit strings, so comparing UTF-16 code units is byte order.
    std::sort(sorted.begin(), sorted.end(),
              [](const Entry *a, const Entry *b) { return a->key < b->key; });

    QStringList lines;
    lines.reserve(sorted.size() + 1);
    for (const Entry *entry : std::as_const(sorted)) {
        // The candidate list shows words of equal usage in reverse record order,
        // so the most preferred word goes last.
        QString line = entry->key + u':';
        for (auto word = entry->words.crbegin(); word != entry->words.crend(); ++word)
            line += *word + u':';
        lines.append(line);
    }
    // The last group of a word file is never indexed; this one sorts after every
    // digit string, so that every real group is.
    lines.append(QStringLiteral("~:"));
    return lines;
}
