#include "workspace/ChainSearch.h"

#include "core/oWord.h"
#include "dictionary/Dictionary.h"

#include <QSet>

#include <algorithm>
#include <vector>

namespace ChainSearch {

namespace {

// One candidate of a leading part: a word with its own digits and usage count.
struct Candidate
{
    QString value;
    QString word;
    int count = 0;
};

// Blocks and candidates, read once per search however often the number repeats a
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

    // The words the candidate list offers for the part (see Candidates::rowsForRecord),
    // in the order it shows words of equal usage: reverse record order. Their order by
    // usage is left to the search, which compares counts as numbers.
    QList<Candidate> candidates(const QString &part, const QString &groupBlock)
    {
        auto it = m_candidates.constFind(part);
        if (it != m_candidates.cend())
            return *it;

        const QStringList words = Dictionary::wordsInBlock(groupBlock, part);
        QList<Candidate> found;
        found.reserve(words.size());
        QSet<QString> seen;
        seen.reserve(words.size());
        for (const QString &word : words) {
            if (word.isEmpty())
                continue;
            if (words.size() > 1) {
                const QString folded = word.toCaseFolded();
                if (seen.contains(folded))
                    continue;
                seen.insert(folded);
            }
            oWord coded;
            coded.setWord(word);
            found.append({coded.value(), word, m_getcount(word)});
        }
        std::reverse(found.begin(), found.end());
        return *m_candidates.insert(part, found);
    }

private:
    Dictionary &m_dictionary;
    const Candidates::UsageCount &m_getcount;
    QHash<QString, QString> m_blocks;
    QHash<QString, QList<Candidate>> m_candidates;
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

        // The leading parts worth looking up, shortest first; the candidate list
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
            const QList<Candidate> rows = lookup.candidates(*part, lookup.block(*part));
            for (const Candidate &row : rows) {
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

} // namespace ChainSearch
