#include "images/ImageChains.h"

#include "images/ImageList.h"

namespace ImageChains {

QString settingValue(Style style)
{
    switch (style) {
    case Style::TwoDigitImages:
        return QStringLiteral("images2");
    case Style::ThreeDigitImages:
        return QStringLiteral("images3");
    case Style::Pictures:
        break;
    }
    return QStringLiteral("pictures");
}

Style styleOf(const QString &settingValue)
{
    if (settingValue == QLatin1String("images2"))
        return Style::TwoDigitImages;
    if (settingValue == QLatin1String("images3"))
        return Style::ThreeDigitImages;
    return Style::Pictures;
}

QList<QList<ChainSearch::Link>> suggestChains(Dictionary &dictionary, const QString &digits,
                                              const Candidates::UsageCount &usesOf,
                                              const WordRanks &ranks, const ImageList &images,
                                              Style style, int count)
{
    if (style == Style::Pictures)
        return ChainSearch::suggestChains(dictionary, digits, usesOf, ranks, count);
    if (digits.isEmpty() || count < 1)
        return {};

    const qsizetype chunkSize = style == Style::TwoDigitImages ? 2 : 3;
    QList<ChainSearch::Link> chain;
    for (qsizetype at = 0; at < digits.size(); at += chunkSize) {
        const QString chunk = digits.mid(at, chunkSize);
        const QString image = images.image(chunk);
        if (!image.isEmpty()) {
            chain.append({chunk, image});
            continue;
        }
        const QList<ChainSearch::Link> words =
            ChainSearch::suggest(dictionary, chunk, usesOf, ranks);
        chain.append(words);
        qsizetype covered = 0;
        for (const ChainSearch::Link &link : words)
            covered += link.value.size();
        if (covered < chunk.size())
            break;
    }
    if (chain.isEmpty())
        return {};
    return {chain};
}

} // namespace ImageChains
