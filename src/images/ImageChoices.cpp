#include "images/ImageChoices.h"

#include "core/CodedWord.h"
#include "dictionary/Dictionary.h"
#include "images/ImageList.h"
#include "workspace/ChainSearch.h"

#include <QSet>

#include <algorithm>

namespace ImageChoices {

QStringList wordsFor(Dictionary &dictionary, const QString &key,
                     const Candidates::UsageCount &usesOf, const WordRanks &ranks)
{
    struct Choice
    {
        QString word;
        int cost;
        int count;
        int order;
    };
    QList<Choice> choices;
    QSet<QString> seen;
    const QStringList words = dictionary.lookupWords(key);
    // The candidate list shows a record's words of equal usage last first.
    int order = int(words.size());
    for (const QString &word : words) {
        --order;
        CodedWord coded;
        coded.setWord(word);
        const QString folded = word.toCaseFolded();
        if (coded.value() != key || seen.contains(folded))
            continue;
        seen.insert(folded);
        const int count = usesOf(word);
        int rank = WordRanks::Used;
        if (count == 0) {
            // Without ranks the first word shown is taken to be the easiest to picture.
            rank = !ranks.isEmpty() ? int(ranks.rank(word))
                                    : std::min(WordRanks::Picture + order, int(WordRanks::Other));
        }
        choices.append({word, ChainSearch::rankCost[rank], count, order});
    }
    std::sort(choices.begin(), choices.end(), [](const Choice &a, const Choice &b) {
        if (a.cost != b.cost)
            return a.cost < b.cost;
        if (a.count != b.count)
            return a.count > b.count;
        return a.order < b.order;
    });
    QStringList result;
    result.reserve(choices.size());
    for (const Choice &choice : std::as_const(choices))
        result.append(choice.word);
    return result;
}

void prefill(ImageList &images, Dictionary &dictionary, const Candidates::UsageCount &usesOf,
             const WordRanks &ranks)
{
    for (int digits = 1; digits <= 3; ++digits) {
        for (const QString &key : ImageList::keys(digits)) {
            if (!images.image(key).isEmpty())
                continue;
            const QStringList words = wordsFor(dictionary, key, usesOf, ranks);
            if (!words.isEmpty())
                images.setImage(key, words.first());
        }
    }
}

} // namespace ImageChoices
