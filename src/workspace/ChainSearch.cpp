#include "workspace/ChainSearch.h"

#include "core/CodedWord.h"
#include "dictionary/Dictionary.h"

#include <QSet>

#include <algorithm>
#include <vector>

namespace ChainSearch {

namespace {

// One candidate of a leading part: a word with its own digits, usage count and rank.
struct Candidate
{
    QString value;
    QString word;
    int count = 0;
    int rank = WordRanks::Other;
};

// Blocks and candidates, read once per search however often the number repeats a
// digit string.
class Lookup
{
public:
    Lookup(Dictionary &dictionary, const Candidates::UsageCount &usesOf, const WordRanks &ranks)
        : m_dictionary(dictionary), m_getcount(usesOf), m_ranks(ranks)
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
            CodedWord coded;
            coded.setWord(word);
            found.append({coded.value(), word, m_getcount(word), WordRanks::Other});
        }
        std::reverse(found.begin(), found.end());
        for (qsizetype shown = 0; shown < found.size(); ++shown) {
            Candidate &row = found[shown];
            if (row.count > 0)
                row.rank = WordRanks::Used;
            else if (!m_ranks.isEmpty())
                row.rank = m_ranks.rank(row.word);
            else // the first word shown is taken to be the easiest to picture
                row.rank = int(std::min<qsizetype>(WordRanks::Picture + shown, WordRanks::Other));
        }
        return *m_candidates.insert(part, found);
    }

private:
    Dictionary &m_dictionary;
    const Candidates::UsageCount &m_getcount;
    const WordRanks &m_ranks;
    QHash<QString, QString> m_blocks;
    QHash<QString, QList<Candidate>> m_candidates;
};

// One of the best chains from a position on: its first link and which of the chains
// after that link it continues with.
struct Chain
{
    qsizetype end = 0; // how far it reaches
    qint64 cost = 0;
    int count = 0; // usage count of its first word
    int order = 0; // where its first word stands in the candidate list
    Link first;
    int next = -1; // index among the chains of the position after the first link
};

// The empty chain: no word continues at this position.
Chain stop(qsizetype position)
{
    Chain chain;
    chain.end = position;
    return chain;
}

// Better first: reaching further, cheaper, then the first link as the candidate list
// would rank it, then the better continuation.
bool better(const Chain &a, const Chain &b)
{
    if (a.end != b.end)
        return a.end > b.end;
    if (a.cost != b.cost)
        return a.cost < b.cost;
    if (a.count != b.count)
        return a.count > b.count;
    if (a.order != b.order)
        return a.order < b.order;
    return a.next < b.next;
}

} // namespace

QList<QList<Link>> suggestChains(Dictionary &dictionary, const QString &digits,
                                 const Candidates::UsageCount &usesOf, const WordRanks &ranks,
                                 int count)
{
    const qsizetype n = digits.size();
    if (n == 0 || count < 1)
        return {};
    Lookup lookup(dictionary, usesOf, ranks);
    // best[i]: up to `count` chains from position i, best first. Where no word
    // continues, the only chain is the empty one, reaching no further.
    std::vector<QList<Chain>> best(size_t(n) + 1);
    best[size_t(n)] = {stop(n)};

    for (qsizetype i = n - 1; i >= 0; --i) {
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

        // The first links worth keeping, by where they lead: a link that is not
        // among the `count` best to its end begins none of the best chains.
        QHash<qsizetype, QList<Chain>> links;
        int order = 0;
        for (auto part = parts.crbegin(); part != parts.crend(); ++part) {
            const QList<Candidate> rows = lookup.candidates(*part, lookup.block(*part));
            for (const Candidate &row : rows) {
                ++order;
                // As with ">>": the word takes its own digits, which must begin the rest.
                if (row.value.isEmpty() || !rest.startsWith(row.value))
                    continue;
                links[i + row.value.size()].append({0,
                                                    wordCost + rankCost[row.rank],
                                                    row.count,
                                                    order,
                                                    {row.value, row.word},
                                                    -1});
            }
        }

        QList<Chain> &here = best[size_t(i)];
        for (auto it = links.begin(); it != links.end(); ++it) {
            QList<Chain> &all = *it;
            std::sort(all.begin(), all.end(), better);
            // A word that two records list (only a damaged dictionary does) is one link.
            QList<Chain> toEnd;
            for (qsizetype k = 0; k < all.size() && toEnd.size() < count; ++k) {
                if (std::none_of(toEnd.cbegin(), toEnd.cend(),
                                 [&](const Chain &c) { return c.first == all.at(k).first; }))
                    toEnd.append(all.at(k));
            }
            const QList<Chain> &after = best[size_t(it.key())];
            for (const Chain &link : std::as_const(toEnd)) {
                for (int next = 0; next < after.size(); ++next) {
                    Chain chain = link;
                    chain.end = after.at(next).end;
                    chain.cost += after.at(next).cost;
                    chain.next = next;
                    here.append(chain);
                }
            }
        }
        if (here.isEmpty()) {
            here.append(stop(i));
            continue;
        }
        const qsizetype kept = std::min<qsizetype>(here.size(), count);
        std::partial_sort(here.begin(), here.begin() + kept, here.end(), better);
        here.resize(kept);
    }

    QList<QList<Link>> chains;
    for (int first = 0; first < best[0].size() && best[0].at(first).end == best[0].first().end;
         ++first) {
        QList<Link> chain;
        for (qsizetype i = 0, index = first; i < n && best[size_t(i)].at(index).end > i;) {
            const Chain &step = best[size_t(i)].at(index);
            chain.append(step.first);
            i += step.first.value.size();
            index = step.next;
        }
        if (!chain.isEmpty())
            chains.append(chain);
    }
    return chains;
}

QList<Link> suggest(Dictionary &dictionary, const QString &digits,
                    const Candidates::UsageCount &usesOf, const WordRanks &ranks)
{
    const QList<QList<Link>> chains = suggestChains(dictionary, digits, usesOf, ranks, 1);
    return chains.isEmpty() ? QList<Link>() : chains.first();
}

} // namespace ChainSearch
