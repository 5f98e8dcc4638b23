#include "remembered/FlashCardFile.h"

#include "remembered/RememberedList.h"

#include <QSaveFile>

namespace {

// One field of a card: whatever would end the field or the card becomes a blank, a
// CR LF pair a single one.
QString field(const QString &text)
{
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        switch (c.unicode()) {
        case u'\r':
            if (i + 1 < text.size() && text.at(i + 1) == u'\n')
                ++i;
            result += u' ';
            break;
        case u'\t':
        case u'\n':
        case u'\v':
        case u'\f':
        case 0x85:
        case 0x2028:
        case 0x2029:
            result += u' ';
            break;
        default:
            result += c;
        }
    }
    return result;
}

} // namespace

namespace FlashCardFile {

QByteArray format(const RememberedList &list)
{
    QString text = QStringLiteral("#separator:tab\n#html:false\n");
    for (int position = 1; position <= list.entryCount(); ++position) {
        const RememberedEntry entry = list.entry(position);
        // Entries stored since the start keep the blank the chain puts before
        // every word; a card shows the words as they read after a reload.
        QString back = entry.Value;
        qsizetype start = 0;
        while (start < entry.Words.size() && entry.Words.at(start) == u' ')
            ++start;
        if (start < entry.Words.size())
            back += u' ' + entry.Words.mid(start);
        text += field(entry.Description) + u'\t' + field(back) + u'\n';
    }
    return text.toUtf8();
}

bool write(const RememberedList &list, const QString &path, QString *error)
{
    QSaveFile file(path);
    const QByteArray bytes = format(list);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return true;
    if (error)
        *error = file.errorString();
    return false;
}

} // namespace FlashCardFile
