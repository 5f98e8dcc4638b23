#include "workspace/Candidates.h"

#include <algorithm>

namespace Candidates {

void rankWords(WordCollection &words, const UsageCount &usesOf)
{
    struct SortRow
    {
        QString countText; // always filled, "0" included, as the sort key
        QString word;
    };
    QList<SortRow> sortlist;
    while (words.count() > 0) {
        const WordCollection::Record first = words.Item(1);
        first->setCount(usesOf(first->word()));
        sortlist.append({QString::number(first->count()), first->word()});
        words.Remove(1);
    }
    std::stable_sort(sortlist.begin(), sortlist.end(),
                     [](const SortRow &a, const SortRow &b) { return a.countText < b.countText; });
    for (const SortRow &row : std::as_const(sortlist))
        words.Add(row.word, row.countText.toInt());
}

QList<CandidateRow> rowsForRecord(const QStringList &recordWords, const UsageCount &usesOf)
{
    WordCollection words;
    for (const QString &word : recordWords) {
        // A damaged record may repeat a word or hold an empty one; neither is a
        // candidate worth offering twice or at all.
        if (!word.isEmpty() && !words.Item(word))
            words.Add(word, 1, word);
    }
    rankWords(words, usesOf);

    QList<CandidateRow> rows;
    rows.reserve(words.count());
    for (int i = words.count(); i >= 1; --i) {
        const WordCollection::Record record = words.Item(i);
        rows.append({record->count(), record->value(), record->word()});
    }
    return rows;
}

} // namespace Candidates
