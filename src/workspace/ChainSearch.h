#pragma once

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
//  2. Among those, the one with the fewest words.
//  3. Among those, links are compared from the front: the first link where two chains
//     differ decides. There the word with the higher usage count wins (compared as
//     numbers); between equal counts, the word that stands higher in the candidate
//     list of a new user: words of a longer leading part above those of a shorter
//     one, and within one record the order the list shows them in.
//
// The search runs over the digits from the back (each position is solved once), so its
// cost grows linearly with the length of the number. Each group of the word file is
// read at most once per search and each leading part looked up at most once.
namespace ChainSearch {

struct Link
{
    QString value;
    QString word;
    friend bool operator==(const Link &, const Link &) = default;
};

// The chain for a digit string; empty when not even its first digits have a word.
QList<Link> suggest(Dictionary &dictionary, const QString &digits,
                    const Candidates::UsageCount &getcount);

} // namespace ChainSearch
