#include "remembered/UsageCount.h"

#include "core/Cp1252.h"

#include <vector>

// Counts every memory word of the rows into an empty usage table.
void countUses(const PackedEntries &rows, WordUsage *usage)
{
    // Counted by their bytes first: a million entries hold millions of words, but
    // only some ten thousand different ones. The table of them is open addressed,
    // a bucket holding the index of a word plus one.
    struct Use
    {
        QByteArrayView word;
        size_t hash;
        qint32 count;
    };
    std::vector<Use> uses;
    std::vector<quint32> buckets(1024, 0);
    const auto hashOf = [](QByteArrayView word) {
        size_t hash = 14695981039346656037ULL;
        for (const char c : word)
            hash = (hash ^ static_cast<uchar>(c)) * 1099511628211ULL;
        return hash;
    };
    const auto place = [&buckets](size_t hash, quint32 use) {
        size_t at = hash & (buckets.size() - 1);
        while (buckets[at] != 0)
            at = (at + 1) & (buckets.size() - 1);
        buckets[at] = use + 1;
    };
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const QByteArrayView words = rows.bytes(i, 2);
        for (qsizetype start = 0, end = 0; start < words.size(); start = end + 1) {
            end = words.indexOf(' ', start);
            if (end < 0)
                end = words.size();
            if (end == start)
                continue;
            const QByteArrayView bytes = words.sliced(start, end - start);
            const size_t hash = hashOf(bytes);
            size_t at = hash & (buckets.size() - 1);
            while (buckets[at] != 0 &&
                   (uses[buckets[at] - 1].hash != hash || uses[buckets[at] - 1].word != bytes))
                at = (at + 1) & (buckets.size() - 1);
            if (buckets[at] != 0) {
                ++uses[buckets[at] - 1].count;
                continue;
            }
            uses.push_back({bytes, hash, 1});
            buckets[at] = quint32(uses.size());
            if (uses.size() * 2 > buckets.size()) {
                buckets.assign(buckets.size() * 2, 0);
                for (size_t use = 0; use < uses.size(); ++use)
                    place(uses[use].hash, quint32(use));
            }
        }
    }
    qsizetype characters = 0;
    for (const Use &use : uses)
        characters += use.word.size();
    usage->reserve(qsizetype(uses.size()), characters);
    QString word;
    for (const Use &use : uses) {
        word.resize(use.word.size());
        QChar *unit = word.data();
        for (const char byte : use.word)
            *unit++ = Cp1252::toUnicode(byte);
        usage->countWord(word, use.count);
    }
}
