#pragma once

#include <QValidator>

// Keeps out of a description what the list of remembered numbers could not read
// back: a double quote or a colon would split the entry, and a character outside
// the files' code page would be changed. Refuses such text as it is typed or pasted.
class DescriptionValidator : public QValidator
{
    Q_OBJECT

public:
    using QValidator::QValidator;

    static bool isAcceptable(const QString &text);
    State validate(QString &input, int &pos) const override;
};
