#include "workspace/DescriptionValidator.h"

#include "core/QuotedLineFile.h"

bool DescriptionValidator::isAcceptable(const QString &text)
{
    return !text.contains(u':') && QuotedLineFile::canWrite(text);
}

QValidator::State DescriptionValidator::validate(QString &input, int &pos) const
{
    if (isAcceptable(input))
        return Acceptable;
    QString kept;
    kept.reserve(input.size());
    int keptBeforeCursor = 0;
    for (qsizetype i = 0; i < input.size(); ++i) {
        // A surrogate pair is one character: kept or dropped together.
        const qsizetype length = input.at(i).isHighSurrogate() && i + 1 < input.size() ? 2 : 1;
        const QString character = input.mid(i, length);
        if (isAcceptable(character)) {
            kept += character;
            if (i < pos)
                keptBeforeCursor += int(length);
        }
        i += length - 1;
    }
    input = kept;
    pos = keptBeforeCursor;
    return Acceptable;
}
