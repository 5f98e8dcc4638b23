#pragma once

#include "dictionary/WordRanks.h"
#include "workspace/Candidates.h"

#include <QList>
#include <QString>

class Dictionary;

// Proposes a whole chain of memory words for a number at once, for the main window's
// "Suggest Words" command and the dictionary tool's "chain" command.
//
// Every link is a row the candidate list would offer at that point of the number: the
// words of the dictionary record of a leading part of what is left, and the link takes
// as many digits as the word's own digit string is long, just as ">>" does.
//
// Which chain:
//  1. The one that covers the longest leading part of the number. When every digit can
//     be covered that is the whole number; otherwise the chain stops where no word
//     continues it and the rest is left over.
//  2. Among those, the cheapest: every word costs wordCost plus what its rank costs
//     (see rankCost), so that a chain of words one can picture beats a shorter one of
//     abstract or rare words, and words only specialists know are taken only where
//     nothing else covers the digits. A word the user has used costs least of all.
//     Without ranks (a dictionary built from a list of one's own) a word is ranked by
//     its place in its record: the first the candidate list shows costs least.
//  3. Among those, links are compared from the front: the first link where two chains
//     differ decides. There the word with the higher usage count wins (compared as
//     numbers); between equal counts, the word that stands higher in the candidate
//     list of a new user: words of a longer leading part above those of a shorter
//     one, and within one record the order the list shows them in.
//
// The search runs over the digits from the back (each position is solved once, keeping
// the few best chains from there), so its cost grows linearly with the length of the
// number. Each group of the word file is read at most once per search and each
// leading part looked up at most once.
namespace ChainSearch {

struct Link
{
    QString value;
    QString word;
    friend bool operator==(const Link &, const Link &) = default;
};

// What a word adds to the cost of a chain, by rank (WordRanks::Rank, Used first).
inline constexpr int wordCost = 10;
inline constexpr int rankCost[] = {0, 2, 8, 30, 40, 10000};

// The `count` best chains for a digit string, best first, each differing from the
// others in at least one link, all reaching as far as the best one. Empty when not
// even the first digits have a word.
QList<QList<Link>> suggestChains(Dictionary &dictionary, const QString &digits,
                                 const Candidates::UsageCount &usesOf, const WordRanks &ranks,
                                 int count);

// The best chain; empty when not even the first digits have a word.
QList<Link> suggest(Dictionary &dictionary, const QString &digits,
                    const Candidates::UsageCount &usesOf, const WordRanks &ranks);

} // namespace ChainSearch
