// The Windows-1252 codec both ways: any bytes decode and encode back unchanged, and
// any text (the input read as UTF-16) encodes to one byte per character.
#include "FuzzSupport.h"
#include "core/Cp1252.h"

#include <QString>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = FuzzSupport::bytesOf(data, size);
    const QString decoded = Cp1252::decode(bytes);
    if (decoded.size() != bytes.size() || !Cp1252::canEncode(decoded))
        FuzzSupport::fail("cp1252: decoded text is not one encodable character per byte");
    if (Cp1252::encode(decoded) != bytes)
        FuzzSupport::fail("cp1252: bytes changed on decode and encode",
                          FuzzSupport::visible(decoded));
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (Cp1252::toUnicode(bytes.at(i)) != decoded.at(i))
            FuzzSupport::fail("cp1252: toUnicode and decode disagree");
    }

    const QString text(reinterpret_cast<const QChar *>(data), qsizetype(size / 2));
    const QByteArray encoded = Cp1252::encode(text);
    if (encoded.size() != text.size())
        FuzzSupport::fail("cp1252: encoding changed the length", FuzzSupport::visible(text));
    const QString back = Cp1252::decode(encoded);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar expected = Cp1252::canEncode(text.at(i)) ? text.at(i) : QChar(u'?');
        if (back.at(i) != expected)
            FuzzSupport::fail("cp1252: a character did not survive encode and decode",
                              FuzzSupport::visible(text));
    }
    return 0;
}
