#include "workspace/ChainSearch.h"

#include "core/WordCollection.h"
#include "dictionary/Dictionary.h"

#include <vector>

namespace ChainSearch {

namespace {

// Blocks and candidate rows, read once per search however often the number repeats a
// digit string.
class Lookup
{
public:
    Lookup(Dictionary &dictionary, const Candidates::UsageCount &getcount)
        : m_dictionary(dictionary), m_getcount(getcount)
    {}

    QString block(const QString &part)
    {
        const QString groupKey = part.left(3);
        auto it = m_blocks.constFind(groupKey);
        if (it == m_blocks.cend())
            it = m_blocks.insert(groupKey, m_dictionary.readBlock(groupKey));
        return *it;
    }

    QList<CandidateRow> rows(const QString &part, const QString &groupBlock)
    {
        auto it = m_rows.constFind(part);
        if (it == m_rows.cend()) {
            it = m_rows.insert(part, Candidates::rowsForRecord(
                                         Dictionary::wordsInBlock(groupBlock, part), m_getcount));
        }
        return *it;
    }

private:
    Dictionary &m_dictionary;
    const Candidates::UsageCount &m_getcount;
    QHash<QString, QString> m_blocks;
    QHash<QString, QList<CandidateRow>> m_rows;
};

struct Best
{
    qsizetype end = 0; // how far the best chain from here reaches
    qsizetype words = 0;
    int count = 0; // usage count of its first word
    Link first;
};

} // namespace

QList<Link> suggest(Dictionary &dictionary, const QString &digits,
                    const Candidates::UsageCount &getcount)
{
    const qsizetype n = digits.size();
    Lookup lookup(dictionary, getcount);
    std::vector<Best> best(size_t(n) + 1);
    best[size_t(n)].end = n;

    for (qsizetype i = n - 1; i >= 0; --i) {
        Best &here = best[size_t(i)];
        here.end = i;
        const QStringView rest = QStringView(digits).mid(i);

        // The leading parts that have a record, shortest first; the candidate list
        // shows the longest on top, so they are weighed in reverse.
        QList<QString> parts;
        for (qsizetype k = 1; k <= rest.size(); ++k) {
            const QString part = rest.left(k).toString();
            const QString groupBlock = lookup.block(part);
            // Within a group, a part that begins no key cannot be extended into one.
            if (k >= 3 && !groupBlock.contains(u'"' + part))
                break;
            parts.append(part);
        }

        for (auto part = parts.crbegin(); part != parts.crend(); ++part) {
            const QList<CandidateRow> rows = lookup.rows(*part, lookup.block(*part));
            for (const CandidateRow &row : rows) {
                // As with ">>": the word takes its own digits, which must begin the rest.
                if (row.value.isEmpty() || !rest.startsWith(row.value))
                    continue;
                const Best &next = best[size_t(i + row.value.size())];
                // Every chain from here reaches past here, so the first word always
                // beats the empty chain; later ones must be better, not only as good.
                const bool better = next.end > here.end ||
                                    (next.end == here.end &&
                                     (next.words + 1 < here.words ||
                                      (next.words + 1 == here.words && row.count > here.count)));
                if (better) {
                    here.end = next.end;
                    here.words = next.words + 1;
                    here.count = row.count;
                    here.first = {row.value, row.word};
                }
            }
        }
    }

    QList<Link> chain;
    for (qsizetype i = 0; i < n && best[size_t(i)].end > i;) {
        const Link &link = best[size_t(i)].first;
        chain.append(link);
        i += link.value.size();
    }
    return chain;
}

QHash<QString, int> usageSnapshot(const WordCollection &usage)
{
    QHash<QString, int> counts;
    counts.reserve(usage.count());
    for (int position = 1; position <= usage.count(); ++position) {
        const WordCollection::Record record = usage.Item(position);
        // The first record of a word is the one its key finds.
        const QString key = record->word().toCaseFolded();
        if (!counts.contains(key))
            counts.insert(key, record->count());
    }
    return counts;
}

} // namespace ChainSearch
