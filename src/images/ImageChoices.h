#pragma once

#include "dictionary/WordRanks.h"
#include "workspace/Candidates.h"

#include <QString>
#include <QStringList>

class Dictionary;
class ImageList;

// The words My Images offers for a key, and the list it starts from. A key's words
// are those of its dictionary record that spell it, ordered as Suggest Words weighs
// them: the user's own words first, the most used first, then by how easily they are
// pictured (see ChainSearch), then as the candidate list shows them.
namespace ImageChoices {

QStringList wordsFor(Dictionary &dictionary, const QString &key,
                     const Candidates::UsageCount &usesOf, const WordRanks &ranks);

// Gives every key without an image the first of its words; keys the dictionary has
// no word for stay without one.
void prefill(ImageList &images, Dictionary &dictionary, const Candidates::UsageCount &usesOf,
             const WordRanks &ranks);

} // namespace ImageChoices
