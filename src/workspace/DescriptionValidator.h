#pragma once

#include <QValidator>

// Keeps out of a description what the list of remembered numbers could not read
// back: a double quote or a colon would split the entry, and a character outside
// the files' code page would be changed. Such characters are dropped as they are
// typed or pasted; the rest of a paste goes in.
class DescriptionValidator : public QValidator
{
    Q_OBJECT

public:
    using QValidator::QValidator;

    static bool isAcceptable(const QString &text);
    State validate(QString &input, int &pos) const override;
};
