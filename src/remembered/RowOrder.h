#pragma once

#include "remembered/PackedEntries.h"
#include "remembered/RememberedEntry.h"

#include <QList>

// The order the remembered numbers are shown in: ascending by the text of one column
// (0 Value, 1 Description, 2 Words), letter case ignored and numbers compared as
// text; equal texts in the order of their tags, the order of arrival. Functions of
// the rows they are given alone, so they run on any thread.
namespace RowOrder {

// The order of a column, as old row numbers in their new places, or nothing when the
// rows are in that order already. The first `sorted` rows are known to be.
QList<qsizetype> sortOrder(const PackedEntries &rows, int column, qsizetype sorted = 0);
// Puts rows into the order of a column; the order applied, as sortOrder() gives it.
QList<qsizetype> sortRows(PackedEntries &rows, int column, qsizetype sorted = 0);
// Appends entries after the rows with the next tags, and sorts them into place.
void mergeIn(PackedEntries &rows, const PackedEntries &entries, quint32 *nextArrival, int column);
// Where a new entry goes among rows in the order of a column: after every equal
// text, since it arrives last.
qsizetype insertionPoint(const PackedEntries &rows, int column, const RememberedEntry &entry);

} // namespace RowOrder
