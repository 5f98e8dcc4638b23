#include "remembered/FlashCardFile.h"

#include "core/Cp1252.h"
#include "remembered/PackedEntries.h"

#include <QSaveFile>

#include <algorithm>
#include <array>
#include <cstring>

namespace {

// Whether a character would end a field or a card; a CR is handled on its own, as a
// CR LF pair becomes one blank.
bool breaksCard(char16_t c)
{
    switch (c) {
    case u'\t':
    case u'\n':
    case u'\v':
    case u'\f':
    case 0x85:
    case 0x2028:
    case 0x2029:
        return true;
    default:
        return false;
    }
}

// One field of a card: whatever would end the field or the card becomes a blank, a
// CR LF pair a single one.
QString field(const QString &text)
{
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'\r') {
            if (i + 1 < text.size() && text.at(i + 1) == u'\n')
                ++i;
            result += u' ';
        } else {
            result += breaksCard(c.unicode()) ? QChar(u' ') : c;
        }
    }
    return result;
}

// What a byte of the code page becomes on a card, in UTF-8; size 0 for the CR.
struct CardBytes
{
    char bytes[3] = {};
    quint8 size = 0;
};

const std::array<CardBytes, 256> &cardBytes()
{
    static const std::array<CardBytes, 256> table = [] {
        std::array<CardBytes, 256> result;
        for (int byte = 0; byte < 256; ++byte) {
            if (byte == '\r')
                continue;
            char16_t c = Cp1252::toUnicode(char(byte)).unicode();
            if (breaksCard(c))
                c = u' ';
            CardBytes &out = result[size_t(byte)];
            if (c < 0x80) {
                out = {{char(c)}, 1};
            } else if (c < 0x800) {
                out = {{char(0xC0 | (c >> 6)), char(0x80 | (c & 0x3F))}, 2};
            } else {
                out = {{char(0xE0 | (c >> 12)), char(0x80 | ((c >> 6) & 0x3F)),
                        char(0x80 | (c & 0x3F))},
                       3};
            }
        }
        return result;
    }();
    return table;
}

// Writes the card text of one packed text at `out`, which has room for three bytes
// per byte of it, and returns where it ends.
char *putField(char *out, QByteArrayView text)
{
    const std::array<CardBytes, 256> &table = cardBytes();
    const char *at = text.data();
    const char *const end = at + text.size();
    while (at < end) {
        // Eight bytes at a time while they are printable ASCII, which stays as it is:
        // no byte below 0x20, none from 0x80 on.
        quint64 eight = 0;
        if (end - at >= 8) {
            std::memcpy(&eight, at, 8);
            if (((eight | (eight - 0x2020202020202020ULL)) & 0x8080808080808080ULL) == 0) {
                std::memcpy(out, at, 8);
                out += 8;
                at += 8;
                continue;
            }
        }
        const CardBytes &card = table[static_cast<unsigned char>(*at++)];
        if (card.size == 0) {
            if (at < end && *at == '\n')
                ++at;
            *out++ = ' ';
            continue;
        }
        // All three bytes go in, the size says how many count.
        out[0] = card.bytes[0];
        out[1] = card.bytes[1];
        out[2] = card.bytes[2];
        out += card.size;
    }
    return out;
}

// The card of an entry kept aside, worked out on its text.
QByteArray cardLine(const RememberedEntry &entry)
{
    // Entries stored since the start keep the blank the chain puts before every
    // word; a card shows the words as they read after a reload.
    QString back = entry.Value;
    qsizetype start = 0;
    while (start < entry.Words.size() && entry.Words.at(start) == u' ')
        ++start;
    if (start < entry.Words.size())
        back += u' ' + entry.Words.mid(start);
    return (field(entry.Description) + u'\t' + field(back) + u'\n').toUtf8();
}

} // namespace

namespace FlashCardFile {

QByteArray format(const PackedEntries &rows)
{
    static constexpr char head[] = "#separator:tab\n#html:false\n";
    // Mostly ASCII: a byte of text for a byte of the card, the field's colons for the
    // tab and the blank, and one more for the line end. The buffer grows when a card
    // needs more.
    qsizetype size = qsizetype(sizeof head);
    for (qsizetype i = 0; i < rows.size(); ++i)
        size += rows.field(i).size() + 1;
    QByteArray bytes(size + size / 8, Qt::Uninitialized);
    qsizetype used = 0;
    const auto room = [&bytes, &used](qsizetype needed) {
        if (used + needed > bytes.size())
            bytes.resize(std::max(bytes.size() * 2, used + needed));
        return bytes.data() + used;
    };
    std::memcpy(room(sizeof head), head, sizeof head - 1);
    used += qsizetype(sizeof head) - 1;
    for (qsizetype i = 0; i < rows.size(); ++i) {
        if (rows.isKeptAside(i)) {
            const QByteArray line = cardLine(rows.at(i));
            std::memcpy(room(line.size()), line.constData(), size_t(line.size()));
            used += line.size();
            continue;
        }
        QByteArrayView words = rows.bytes(i, 2);
        while (!words.isEmpty() && words.front() == ' ')
            words = words.sliced(1);
        char *const start = room(3 * rows.field(i).size() + 3);
        char *out = putField(start, rows.bytes(i, 1));
        *out++ = '\t';
        out = putField(out, rows.bytes(i, 0));
        if (!words.isEmpty()) {
            *out++ = ' ';
            out = putField(out, words);
        }
        *out++ = '\n';
        used += out - start;
    }
    bytes.truncate(used);
    return bytes;
}

bool write(const PackedEntries &rows, const QString &path, QString *error)
{
    QSaveFile file(path);
    const QByteArray bytes = format(rows);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return true;
    if (error)
        *error = file.errorString();
    return false;
}

} // namespace FlashCardFile
