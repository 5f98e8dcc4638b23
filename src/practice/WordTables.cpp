#include "practice/WordTables.h"

#include "core/PlainNumber.h"
#include "core/WordCollection.h"

namespace WordTables {

std::optional<int> pegNumber(const QString &value)
{
    QStringView digits(value);
    while (digits.startsWith(u'0'))
        digits = digits.mid(1);
    // Three digits reach past 100 already; anything longer would only risk overflow.
    const int number = PlainNumber::read(digits, 3);
    if (number < 0)
        return std::nullopt;
    return number;
}

QList<QStringList> pegRows(const WordCollection &words, int rangeStart, int rangeEnd)
{
    const int half = rangeEnd / 2;
    QList<QStringList> rows;
    for (int i = rangeStart; i <= half; ++i)
        rows.append({QString::number(i), QString(), QString::number(half + i), QString()});

    // The numbers up to split go into the left pair of columns, the rest into the
    // right pair; halves round to the even neighbour, so 1 to 100 splits after 50.
    const int span = rangeEnd - rangeStart;
    int split = span / 2;
    if (span % 2 != 0 && split % 2 != 0)
        ++split;

    for (int position = 1; position <= words.count(); ++position) {
        const WordCollection::Record record = words.Item(position);
        const std::optional<int> number = pegNumber(record->value());
        if (!number || *number < rangeStart || *number > rangeEnd)
            continue;
        const bool left = *number <= split;
        const int row = left ? *number - rangeStart : *number - split - 1;
        if (row < 0 || row >= rows.size())
            continue;
        rows[row][left ? 1 : 3] +=
            u'(' + QString::number(record->count()) + QStringLiteral(") ") + record->word() + u' ';
    }
    return rows;
}

QList<QStringList> mostUsedRows(const WordCollection &words)
{
    QList<QStringList> rows;
    rows.reserve(words.count());
    for (int position = 1; position <= words.count(); ++position) {
        const WordCollection::Record record = words.Item(position);
        rows.append({QString::number(record->count()), record->value(), record->word(), QString()});
    }
    return rows;
}

} // namespace WordTables
