#include "remembered/RowOrder.h"

#include "core/Cp1252.h"

#include <algorithm>
#include <vector>

namespace RowOrder {

namespace {

// The case-folded form of each byte of the code page, as QString::toCaseFolded()
// gives it, so that rows sort on their bytes without making folded copies. A byte
// that folds to more than one character is marked; its texts are folded whole.
struct FoldTable
{
    char16_t unit[256];
    bool several[256];
    // The place of unit[byte] among the folded forms of all bytes: ordered as the
    // units are, and small enough for sixteen of them to fill two numbers.
    quint8 rank[256];
};

const FoldTable &foldTable()
{
    static const FoldTable table = [] {
        FoldTable made{};
        for (int byte = 0; byte < 256; ++byte) {
            const QString folded = QString(Cp1252::toUnicode(char(byte))).toCaseFolded();
            made.several[byte] = folded.size() != 1;
            made.unit[byte] = folded.isEmpty() ? 0 : folded.at(0).unicode();
        }
        std::vector<char16_t> units(std::begin(made.unit), std::end(made.unit));
        std::sort(units.begin(), units.end());
        units.erase(std::unique(units.begin(), units.end()), units.end());
        for (int byte = 0; byte < 256; ++byte)
            made.rank[byte] = quint8(std::lower_bound(units.begin(), units.end(), made.unit[byte]) -
                                     units.begin());
        return made;
    }();
    return table;
}

// A sort key: the bytes of a text, read through the fold table, or where that will
// not do, the folded text itself.
struct SortKey
{
    QByteArrayView bytes;
    QString folded;
    bool isText = false;

    qsizetype size() const { return isText ? folded.size() : bytes.size(); }
    char16_t unit(qsizetype i, const FoldTable &table) const
    {
        return isText ? folded.at(i).unicode() : table.unit[static_cast<uchar>(bytes.at(i))];
    }
};

bool foldsPlainly(QByteArrayView bytes, const FoldTable &table)
{
    for (const char byte : bytes) {
        if (table.several[static_cast<uchar>(byte)])
            return false;
    }
    return true;
}

SortKey sortKeyOf(const PackedEntries &rows, qsizetype row, int column)
{
    SortKey key;
    key.bytes = rows.bytes(row, column);
    if (rows.isKeptAside(row) || !foldsPlainly(key.bytes, foldTable())) {
        key.folded = rows.text(row, column).toCaseFolded();
        key.isText = true;
    }
    return key;
}

// Orders folded texts as QString::compare does, unit by unit.
int compareKeys(const SortKey &a, const SortKey &b)
{
    const FoldTable &table = foldTable();
    const qsizetype common = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < common; ++i) {
        const char16_t x = a.unit(i, table);
        const char16_t y = b.unit(i, table);
        if (x != y)
            return x < y ? -1 : 1;
    }
    return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

} // namespace

QList<qsizetype> sortRows(PackedEntries &rows, int column, qsizetype sorted)
{
    const QList<qsizetype> order = sortOrder(rows, column, sorted);
    if (!order.isEmpty())
        rows.reorder(order);
    return order;
}

QList<qsizetype> sortOrder(const PackedEntries &rows, int column, qsizetype sorted)
{
    // A saved list comes back in display order, so a load rarely has to sort; that
    // shows from neighbouring keys, without building the table below.
    bool inOrder = true;
    for (qsizetype i = std::max<qsizetype>(sorted, 1); inOrder && i < rows.size(); ++i) {
        const int compared =
            compareKeys(sortKeyOf(rows, i - 1, column), sortKeyOf(rows, i, column));
        inOrder = compared < 0 || (compared == 0 && rows.tag(i - 1) < rows.tag(i));
    }
    if (inOrder)
        return {};

    // Sorting a million rows through their texts would wait on memory at every
    // comparison; the first sixteen characters of each key, packed into two numbers,
    // decide most comparisons without touching the texts. Keys that need folding
    // whole (rare) are compared whole.
    struct Slot
    {
        quint64 head;
        quint64 next;
        quint32 row;
        quint32 arrival;
        qint32 size; // of the key
        bool plain;  // the key's bytes fold one to one, and the prefix holds their ranks
    };
    const FoldTable &table = foldTable();
    std::vector<Slot> order;
    order.reserve(size_t(rows.size()));
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const QByteArrayView key = rows.bytes(i, column);
        const bool plain = !rows.isKeptAside(i) && foldsPlainly(key, table);
        quint64 prefix[2] = {0, 0};
        for (qsizetype k = 0; plain && k < 16; ++k) {
            const quint64 rank = k < key.size() ? table.rank[static_cast<uchar>(key.at(k))] : 0;
            prefix[k / 8] = prefix[k / 8] << 8 | rank;
        }
        order.push_back({prefix[0], prefix[1], quint32(i), rows.tag(i), qint32(key.size()), plain});
    }
    const auto lessThan = [&rows, column](const Slot &a, const Slot &b) {
        int compared = 0;
        if (a.plain && b.plain) {
            if (a.head != b.head)
                return a.head < b.head;
            if (a.next != b.next)
                return a.next < b.next;
            if (a.size <= 16 && b.size <= 16) {
                // The whole keys are in the prefixes; they differ at most in length.
                compared = a.size - b.size;
            } else {
                SortKey x, y;
                x.bytes = rows.bytes(a.row, column);
                y.bytes = rows.bytes(b.row, column);
                compared = compareKeys(x, y);
            }
        } else {
            compared = compareKeys(sortKeyOf(rows, a.row, column), sortKeyOf(rows, b.row, column));
        }
        return compared != 0 ? compared < 0 : a.arrival < b.arrival;
    };

    // Rows added to a sorted list are sorted on their own and merged in.
    std::sort(order.begin() + sorted, order.end(), lessThan);
    std::inplace_merge(order.begin(), order.begin() + sorted, order.end(), lessThan);
    QList<qsizetype> applied;
    applied.reserve(rows.size());
    for (const Slot &slot : order)
        applied.append(slot.row);
    return applied;
}

void mergeIn(PackedEntries &rows, const PackedEntries &entries, quint32 *nextArrival, int column)
{
    const qsizetype sorted = rows.size();
    rows.reserve(rows.size() + entries.size(), rows.byteSize() + entries.byteSize());
    for (qsizetype i = 0; i < entries.size(); ++i) {
        rows.appendFrom(entries, i);
        rows.setTag(rows.size() - 1, (*nextArrival)++);
    }
    sortRows(rows, column, sorted);
}

qsizetype insertionPoint(const PackedEntries &rows, int column, const RememberedEntry &entry)
{
    SortKey key;
    // The words sort as they read back, without their leading blanks.
    key.folded = (column == 0   ? QStringView(entry.Value)
                  : column == 2 ? PackedEntries::wordsRead(entry.Words)
                                : QStringView(entry.Description))
                     .toString()
                     .toCaseFolded();
    key.isText = true;
    // The new entry arrives last, so it goes after every equal text.
    qsizetype low = 0;
    qsizetype high = rows.size();
    while (low < high) {
        const qsizetype middle = low + (high - low) / 2;
        if (compareKeys(key, sortKeyOf(rows, middle, column)) < 0)
            high = middle;
        else
            low = middle + 1;
    }
    return low;
}

} // namespace RowOrder
