#include "core/CodedWord.h"

namespace {

// The digit a single character stands for, or a null character. The table is
// deliberately case-sensitive: only a capital Z counts, and "T" is no "t".
QChar digitOf(QChar c)
{
    switch (c.unicode()) {
    case 's':
    case 'Z':
        return u'0';
    case 't':
    case 'd':
        return u'1';
    case 'n':
        return u'2';
    case 'm':
        return u'3';
    case 'r':
        return u'4';
    case 'l':
        return u'5';
    case 'j':
    case 'g':
        return u'6';
    case 'c':
        return u'7';
    case 'f':
    case 'v':
        return u'8';
    case 'p':
    case 'b':
        return u'9';
    default:
        return {};
    }
}

} // namespace

void CodedWord::setWord(const QString &vData)
{
    m_word = vData;
    computeValue();
}

void CodedWord::computeValue()
{
    QString result;
    // A word never has more sounds than letters, and one more for a closing k.
    result.reserve(m_word.size() + 1);
    QChar previous; // null: equal to no letter

    for (const QChar current : std::as_const(m_word)) {
        if (previous == u'k' && current != u'n') {
            // A k sounds unless an n follows it. Emitting it here also means
            // that "kk" is two sounds, not one doubled letter.
            result += u'7';
        } else if (current == previous) {
            previous = current;
            continue;
        }
        if (current != u'k') {
            if (const QChar digit = digitOf(current); !digit.isNull())
                result += digit;
        }
        previous = current;
    }
    if (previous == u'k')
        result += u'7';

    m_value = result;
}
