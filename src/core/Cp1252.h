#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

// Windows-1252, the code page of every data file the program reads or writes, on
// every platform, so that files move unchanged between installations. The five
// bytes the code page leaves undefined decode to the C1 control of the same number,
// so every byte survives a decode and encode.
namespace Cp1252 {

QChar toUnicode(char byte);
QString decode(QByteArrayView bytes);

bool canEncode(QChar c);
bool canEncode(QStringView text);

// Encodes text that canEncode() accepts; any other character becomes '?'.
QByteArray encode(QStringView text);

} // namespace Cp1252
