#pragma once

#include "core/WordCollection.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// One row of the candidate list: a dictionary word with its digit string and how
// often the user has used it in stored numbers.
struct CandidateRow
{
    int count = 0;
    QString value;
    QString word;

    // The "#" column: empty for a word never used yet.
    QString countText() const { return count > 0 ? QString::number(count) : QString(); }
    friend bool operator==(const CandidateRow &, const CandidateRow &) = default;
};

// Ranks the words of one dictionary record for the main window's candidate list.
namespace Candidates {

using UsageCount = std::function<int(const QString &word)>;

// Reorders a collection by usage count, ascending by the count's decimal text
// ("10" before "9"), keeping the order of equal counts. Members are replaced by
// unkeyed records carrying their usage count.
void rankWords(WordCollection &words, const UsageCount &usesOf);

// The rows a record's words add to the top of the candidate list, top row first:
// each ranked word is put on top in turn, so "9" ends above "10" and words of equal
// usage show in reverse record order. Empty words and repeats of a word (ignoring
// case) are left out.
QList<CandidateRow> rowsForRecord(const QStringList &recordWords, const UsageCount &usesOf);

} // namespace Candidates
