// The phonetic code on any text: the input is read as UTF-16, so every character,
// lone surrogates included, reaches the code.
#include "FuzzSupport.h"
#include "core/CodedWord.h"

#include <QString>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString word(reinterpret_cast<const QChar *>(data), qsizetype(size / 2));

    CodedWord record;
    record.setWord(word);
    const QString value = record.value();

    // Each character stands for at most one digit (a k's own 7 comes in place of
    // the k), so a value is never longer than its word.
    if (value.size() > word.size())
        FuzzSupport::fail("phonetic code: value longer than its word",
                          FuzzSupport::visible(word) + QLatin1String(" -> ") + value);
    for (const QChar c : value) {
        if (c < u'0' || c > u'9')
            FuzzSupport::fail("phonetic code: value holds a non-digit",
                              FuzzSupport::visible(word) + QLatin1String(" -> ") + value);
    }

    // Assigning the same word again gives the same value, whatever came before.
    CodedWord again;
    again.setWord(QStringLiteral("kk"));
    again.setWord(word);
    if (again.value() != value)
        FuzzSupport::fail("phonetic code: value depends on the previous word",
                          FuzzSupport::visible(word));

    // A blank between two parts of a word separates doubled letters but changes
    // nothing else: the value of the parts joined by a blank is their values joined.
    const qsizetype half = word.size() / 2;
    CodedWord left, right, joined;
    left.setWord(word.left(half));
    right.setWord(word.mid(half));
    joined.setWord(word.left(half) + u' ' + word.mid(half));
    if (joined.value() != left.value() + right.value())
        FuzzSupport::fail("phonetic code: a blank changed the value of the parts",
                          FuzzSupport::visible(word));
    return 0;
}
