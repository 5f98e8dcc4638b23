#pragma once

#include <QStringView>

// A number as the program's own files and settings write it: one to `maxDigits` ASCII
// digits and nothing else. QString::toInt() would also take a sign, blanks and the
// digits of other scripts.
namespace PlainNumber {

// The number, or -1 for any other text.
inline int read(QStringView text, int maxDigits)
{
    if (text.isEmpty() || text.size() > maxDigits)
        return -1;
    int number = 0;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return -1;
        number = number * 10 + (c.unicode() - u'0');
    }
    return number;
}

} // namespace PlainNumber
