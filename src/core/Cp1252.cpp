#include "core/Cp1252.h"

namespace {

// 0x80 to 0x9F; the rest of the code page equals Latin-1.
constexpr char16_t highControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// The byte for a character, or -1 when the code page has none.
int byteOf(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return u;
    for (int i = 0; i < 32; ++i) {
        if (highControls[i] == u)
            return 0x80 + i;
    }
    return -1;
}

} // namespace

namespace Cp1252 {

QChar toUnicode(char byte)
{
    const auto b = static_cast<unsigned char>(byte);
    if (b >= 0x80 && b < 0xA0)
        return QChar(highControls[b - 0x80]);
    return QChar(char16_t(b));
}

QString decode(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (const char byte : bytes)
        *out++ = toUnicode(byte);
    return text;
}

bool canEncode(QChar c)
{
    return byteOf(c) >= 0;
}

bool canEncode(QStringView text)
{
    for (const QChar c : text) {
        if (!canEncode(c))
            return false;
    }
    return true;
}

QByteArray encode(QStringView text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (const QChar c : text) {
        const int b = byteOf(c);
        bytes.append(b >= 0 ? char(b) : '?');
    }
    return bytes;
}

} // namespace Cp1252
