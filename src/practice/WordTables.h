#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

class WordCollection;

// The contents of the two word tables that the peg and most-used window shows, built
// from the usage table of the remembered numbers. Each row holds the texts of the
// window's four columns.
namespace WordTables {

inline constexpr int columnCount = 4;

// The number from 1 to 999 that a digit string stands for, leading zeros ignored;
// none for a string of zeros, an empty one, or one too long for the peg table.
std::optional<int> pegNumber(const QString &value);

// One row per number from rangeStart to half of rangeEnd, carrying that number and
// the one half of rangeEnd above it, each followed by its used words as
// "(count) word " in the collection's order.
QList<QStringList> pegRows(const WordCollection &words, int rangeStart, int rangeEnd);

// Count, digit string and word of every used word, in the collection's order.
QList<QStringList> mostUsedRows(const WordCollection &words);

} // namespace WordTables
