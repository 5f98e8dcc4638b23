#pragma once

#include "workspace/Candidates.h"
#include "workspace/ChainSearch.h"

#include <QList>
#include <QString>

class Dictionary;
class ImageList;
class WordRanks;

// The chains Suggest Words makes in the style the user chose: words one can picture,
// any length (ChainSearch), or the user's own images in fixed chunks of two or three
// digits. The main window and the dictionary tool's "chain" command both use it.
namespace ImageChains {

enum class Style
{
    Pictures,
    TwoDigitImages,
    ThreeDigitImages,
};

// The style's value in the settings ("chainstyle"): "pictures", "images2", "images3".
// Any other text, a missing value included, is the default, Pictures.
QString settingValue(Style style);
Style styleOf(const QString &settingValue);

// The chains for a digit string, best first, as ChainSearch::suggestChains gives them.
// With images, the digits are cut into chunks of two or three from the front; a chunk
// left over at the end takes the image of its own length. A chunk takes the user's
// image for it as it is, even a word whose letters spell other digits. A chunk without
// an image takes the best chain of words one can picture for its digits; where that
// does not cover it, the chain ends there and the rest is left over. There is one
// chain in these styles.
QList<QList<ChainSearch::Link>> suggestChains(Dictionary &dictionary, const QString &digits,
                                              const Candidates::UsageCount &usesOf,
                                              const WordRanks &ranks, const ImageList &images,
                                              Style style, int count);

} // namespace ImageChains
