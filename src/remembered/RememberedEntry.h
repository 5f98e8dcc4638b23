#pragma once

#include <QString>

// One remembered number: the digits, the user's description and the chain of memory
// words. The list model holds its rows in this form; the file reader and writer and
// the import and export code pass entries in it.
struct RememberedEntry
{
    QString Value;
    QString Description;
    QString Words;

    friend bool operator==(const RememberedEntry &, const RememberedEntry &) = default;
};
