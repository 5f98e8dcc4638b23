#include "remembered/PackedEntries.h"

#include "core/Cp1252.h"
#include "core/LargePages.h"
#include "core/QuotedLineFile.h"

#include <algorithm>

void PackedEntries::clear()
{
    m_bytes.clear();
    m_spans.clear();
    m_keptAside.clear();
}

namespace {

// Room for the entries of a list and some more: a number stored right after a load or
// a sort then adds to the list in place instead of moving it all to a larger block.
qsizetype withRoom(qsizetype entries)
{
    return entries + entries / 8 + 64;
}

} // namespace

void PackedEntries::reserve(qsizetype entries, qsizetype bytes)
{
    if (entries > m_spans.capacity()) {
        m_spans.reserve(withRoom(entries));
        LargePages::prefer(m_spans.data(), size_t(m_spans.capacity()) * sizeof(Span));
    }
    if (bytes > m_bytes.capacity()) {
        m_bytes.reserve(bytes);
        LargePages::prefer(m_bytes.data(), size_t(m_bytes.capacity()));
    }
}

void PackedEntries::append(const RememberedEntry &entry)
{
    Span span;
    const QString field = entry.Value + u':' + entry.Description + u':' + entry.Words;
    if (!QuotedLineFile::canWrite(field)) {
        span.start = m_keptAside.size();
        span.valueLength = -1;
        m_keptAside.append(entry);
        m_spans.append(span);
        return;
    }
    // Every character of the code page is one byte, so the lengths carry over.
    span.start = m_bytes.size();
    span.valueLength = qint32(entry.Value.size());
    span.descriptionLength = qint32(entry.Description.size());
    span.wordsLength = qint32(entry.Words.size());
    m_bytes += Cp1252::encode(field);
    m_spans.append(span);
}

PackedEntries::FieldTexts PackedEntries::cut(QByteArrayView field)
{
    FieldTexts texts{field, {}, {}};
    const qsizetype first = field.indexOf(':');
    if (first < 0)
        return texts;
    texts.value = field.first(first);
    const QByteArrayView rest = field.sliced(first + 1);
    const qsizetype second = rest.indexOf(':');
    if (second < 0) {
        texts.description = rest;
        return texts;
    }
    texts.description = rest.first(second);
    texts.words = rest.sliced(second + 1);
    while (texts.words.startsWith(' '))
        texts.words = texts.words.sliced(1);
    return texts;
}

bool PackedEntries::appendField(QByteArrayView field)
{
    // The texts are stored as the field a save writes for them, "Value:Description:
    // Words", so that a save copies each entry in one piece. Quotes turn into blanks
    // before the field is cut, so a blank made of one leading the words goes too.
    const qsizetype start = m_bytes.size();
    m_bytes.append(field.data(), field.size());
    bool blanked = false;
    for (char *text = m_bytes.data() + start, *end = m_bytes.data() + m_bytes.size(); text != end;
         ++text) {
        if (*text == '"') {
            *text = ' ';
            blanked = true;
        }
    }
    const FieldTexts texts = cut(QByteArrayView(m_bytes).sliced(start));
    Span span;
    span.start = start;
    span.valueLength = qint32(texts.value.size());
    span.descriptionLength = qint32(texts.description.size());
    span.wordsLength = qint32(texts.words.size());
    const qsizetype wordsAt = start + span.valueLength + 1 + span.descriptionLength + 1;
    const qsizetype blanks = m_bytes.size() - span.wordsLength - wordsAt;
    if (blanks > 0)
        m_bytes.remove(wordsAt, blanks);
    // A field short of its colons gets them, as a save writes it.
    m_bytes.append("::", std::max<qsizetype>(0, wordsAt - m_bytes.size()));
    m_spans.append(span);
    return blanked;
}

void PackedEntries::appendTexts(QByteArrayView value, QByteArrayView description,
                                QByteArrayView words)
{
    Span span;
    span.start = m_bytes.size();
    span.valueLength = qint32(value.size());
    span.descriptionLength = qint32(description.size());
    span.wordsLength = qint32(words.size());
    m_bytes.append(value.data(), value.size());
    m_bytes.append(':');
    m_bytes.append(description.data(), description.size());
    m_bytes.append(':');
    m_bytes.append(words.data(), words.size());
    m_spans.append(span);
}

void PackedEntries::appendFrom(const PackedEntries &other, qsizetype index)
{
    if (other.isKeptAside(index)) {
        append(other.at(index));
    } else {
        const QByteArrayView field = other.field(index);
        Span span = other.m_spans.at(index);
        span.start = m_bytes.size();
        m_bytes.append(field.data(), field.size());
        m_spans.append(span);
    }
    m_spans.last().tag = other.tag(index);
}

void PackedEntries::insert(qsizetype index, const RememberedEntry &entry)
{
    append(entry);
    m_spans.move(m_spans.size() - 1, index);
}

RememberedEntry PackedEntries::at(qsizetype index) const
{
    const Span &span = m_spans.at(index);
    if (span.valueLength < 0) {
        RememberedEntry entry = m_keptAside.at(span.start);
        entry.Words = wordsRead(entry.Words).toString();
        return entry;
    }
    return {text(index, 0), text(index, 1), text(index, 2)};
}

QString PackedEntries::text(qsizetype index, int column) const
{
    const Span &span = m_spans.at(index);
    if (span.valueLength < 0) {
        const RememberedEntry &entry = m_keptAside.at(span.start);
        return column == 0   ? entry.Value
               : column == 1 ? entry.Description
                             : wordsRead(entry.Words).toString();
    }
    return Cp1252::decode(bytes(index, column));
}

QStringView PackedEntries::wordsRead(QStringView words)
{
    qsizetype blanks = 0;
    while (blanks < words.size() && words.at(blanks) == u' ')
        ++blanks;
    return words.mid(blanks);
}

QByteArrayView PackedEntries::bytes(qsizetype index, int column) const
{
    const Span &span = m_spans.at(index);
    if (span.valueLength < 0)
        return {};
    const char *start = m_bytes.constData() + span.start;
    switch (column) {
    case 0:
        return {start, span.valueLength};
    case 1:
        return {start + span.valueLength + 1, span.descriptionLength};
    default: {
        const char *words = start + span.valueLength + span.descriptionLength + 2;
        qsizetype blanks = 0;
        while (blanks < span.wordsLength && words[blanks] == ' ')
            ++blanks;
        return {words + blanks, span.wordsLength - blanks};
    }
    }
}

QByteArrayView PackedEntries::field(qsizetype index) const
{
    const Span &span = m_spans.at(index);
    if (span.valueLength < 0)
        return {};
    return {m_bytes.constData() + span.start,
            span.valueLength + span.descriptionLength + span.wordsLength + 2};
}

void PackedEntries::removeAt(qsizetype index)
{
    // The bytes stay until the next load; only the entry goes.
    m_spans.removeAt(index);
}

void PackedEntries::removeLast()
{
    const Span span = m_spans.takeLast();
    if (span.valueLength < 0)
        m_keptAside.removeLast();
    else
        m_bytes.truncate(span.start);
}

void PackedEntries::reorder(const QList<qsizetype> &order)
{
    QList<Span> spans;
    spans.reserve(withRoom(order.size()));
    LargePages::prefer(spans.data(), size_t(spans.capacity()) * sizeof(Span));
    for (const qsizetype index : order)
        spans.append(m_spans.at(index));
    m_spans = std::move(spans);
}

void PackedEntries::rereadFields()
{
    for (qsizetype i = 0; i < m_spans.size(); ++i) {
        if (isKeptAside(i) ||
            !(bytes(i, 0).contains(':') || bytes(i, 1).contains(':') ||
              field(i)
                  .sliced(m_spans.at(i).valueLength + m_spans.at(i).descriptionLength + 2)
                  .startsWith(' ')))
            continue;
        // Appended anew, as a load would read it; the old bytes stay unused.
        const QByteArray read = field(i).toByteArray();
        const quint32 keptTag = tag(i);
        appendField(read);
        m_spans[i] = m_spans.takeLast();
        m_spans[i].tag = keptTag;
    }
}

bool PackedEntries::fileBytes(QByteArray *bytes, QString *unwritable) const
{
    qsizetype size = 0;
    for (const Span &span : m_spans)
        size += span.valueLength < 0
                    ? 0
                    : span.valueLength + span.descriptionLength + span.wordsLength + 6;
    bytes->clear();
    bytes->reserve(size);
    LargePages::prefer(bytes->data(), size_t(bytes->capacity()));
    for (const Span &span : m_spans) {
        if (span.valueLength < 0) {
            const RememberedEntry &entry = m_keptAside.at(span.start);
            *unwritable = entry.Value + u':' + entry.Description + u':' + entry.Words;
            return false;
        }
        bytes->append('"');
        bytes->append(m_bytes.constData() + span.start,
                      span.valueLength + span.descriptionLength + span.wordsLength + 2);
        bytes->append("\"\r\n", 3);
    }
    return true;
}
