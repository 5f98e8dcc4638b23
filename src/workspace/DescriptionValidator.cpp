#include "workspace/DescriptionValidator.h"

#include "core/QuotedLineFile.h"

bool DescriptionValidator::isAcceptable(const QString &text)
{
    return !text.contains(u':') && QuotedLineFile::canWrite(text);
}

QValidator::State DescriptionValidator::validate(QString &input, int &) const
{
    return isAcceptable(input) ? Acceptable : Invalid;
}
