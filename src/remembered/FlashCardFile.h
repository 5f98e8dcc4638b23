#pragma once

#include <QByteArray>
#include <QString>

class PackedEntries;

// A file that flash-card programs import: UTF-8, tab-separated, two header lines
// ("#separator:tab", "#html:false"), then one card per entry with the description on
// the front and the number with its words on the back ("3141 moderate"). Lines end in
// LF. Tabs and line breaks inside a field become a blank, so every entry stays one
// card of two fields. The remembered-numbers window writes it; nothing reads it back.
namespace FlashCardFile {

// The whole file for the entries in order.
QByteArray format(const PackedEntries &rows);

// Writes the file, replacing it atomically. On failure, `error` says why.
bool write(const PackedEntries &rows, const QString &path, QString *error = nullptr);

} // namespace FlashCardFile
