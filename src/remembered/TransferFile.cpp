#include "remembered/TransferFile.h"

#include "core/QuotedLineFile.h"
#include "remembered/RememberedList.h"

#include <QFile>
#include <QHashFunctions>

#include <bit>
#include <deque>
#include <vector>

namespace TransferFile {

bool exportList(const RememberedList &list, const QString &path, QString *error)
{
    QStringList lines{QLatin1String(header)};
    lines.reserve(1 + 3 * list.entryCount());
    for (int position = 1; position <= list.entryCount(); ++position) {
        const RememberedEntry entry = list.entry(position);
        lines.append(entry.Value);
        lines.append(entry.Description.isEmpty() ? QLatin1String(emptyDescription)
                                                 : entry.Description);
        lines.append(entry.Words);
    }
    return QuotedLineFile::write(path, lines, error);
}

ImportResult importInto(RememberedList &list, const QString &path)
{
    PackedEntries added;
    const ImportResult result = readNew(list.rows(), path, &added);
    if (result.headerFound)
        list.appendEntries(added);
    return result;
}

ImportResult readNew(const PackedEntries &rows, const QString &path, PackedEntries *out)
{
    ImportResult result;
    QFile file(path);
    QByteArray bytes;
    if (file.open(QIODevice::ReadOnly))
        bytes = file.readAll();
    if (!file.isOpen() || file.error() != QFileDevice::NoError) {
        result.error = file.errorString();
        result.status = ImportResult::Unreadable;
        return result;
    }
    // The file's bytes stay as they are; a field with a quote in it is copied to
    // turn the quotes into blanks.
    QList<QByteArrayView> fields =
        QuotedLineFile::fieldBytes(bytes, QuotedLineFile::EmptyLines::Skip);
    if (fields.isEmpty())
        return result;
    if (fields.first() != QByteArrayView(header)) {
        result.status = ImportResult::InvalidHeader;
        return result;
    }
    result.headerFound = true;
    std::deque<QByteArray> blankedFields;
    QList<bool> blankedField(fields.size(), false);
    for (qsizetype i = 1; i < fields.size(); ++i) {
        if (fields.at(i).contains('"')) {
            blankedFields.push_back(fields.at(i).toByteArray().replace('"', ' '));
            fields[i] = blankedFields.back();
            blankedField[i] = true;
        }
    }

    // An entry of the list is held when its three texts equal those of one read
    // here; with no colon in number or description, "Value:Description:Words"
    // tells the same. Entries kept aside hold what no file does, so none matches.
    PackedEntries &added = *out;
    added.reserve(fields.size() / 3 + 1, bytes.size() + fields.size());
    // An open-addressed set of the list's texts and those of the entries added, each
    // slot holding part of the text's hash and its place (the list's rows first, then
    // those added, plus one), so that most probes touch no text. Room for all of them
    // from the start, so it never has to grow.
    struct Slot
    {
        quint32 hashTag = 0;
        quint32 place = 0;
    };
    std::vector<Slot> held(std::bit_ceil(size_t(rows.size() + fields.size() / 3) * 2 + 2));
    const size_t seed = QHashSeed::globalSeed();
    const auto textAt = [&rows, &added](quint32 place) {
        return place < rows.size() ? rows.field(place) : added.field(place - rows.size());
    };
    // Holds the text at a place unless an equal one is held already.
    const auto hold = [&held, &textAt, seed](quint32 place) {
        const QByteArrayView field = textAt(place);
        const size_t hash = qHash(field, seed);
        const auto hashTag = quint32(quint64(hash) >> 32);
        size_t at = hash & (held.size() - 1);
        for (; held[at].place != 0; at = (at + 1) & (held.size() - 1)) {
            if (held[at].hashTag == hashTag && textAt(held[at].place - 1) == field)
                return false;
        }
        held[at] = {hashTag, place + 1};
        return true;
    };
    for (qsizetype i = 0; i < rows.size(); ++i) {
        if (!rows.isKeptAside(i) && !rows.bytes(i, 0).contains(':') &&
            !rows.bytes(i, 1).contains(':'))
            hold(quint32(i));
    }

    qsizetype next = 1;
    for (; next + 3 <= fields.size(); next += 3) {
        const QByteArrayView value = fields.at(next);
        const QByteArrayView description = fields.at(next + 1);
        const QByteArrayView words = fields.at(next + 2);
        if (value.contains(':') || description.contains(':')) {
            ++result.skipped;
            continue;
        }
        added.appendTexts(value, description, words);
        if (!hold(quint32(rows.size() + added.size() - 1))) {
            added.removeLast();
            continue;
        }
        result.blanked +=
            blankedField.at(next) || blankedField.at(next + 1) || blankedField.at(next + 2) ? 1 : 0;
    }
    if (next < fields.size())
        result.status = ImportResult::Incomplete;

    result.imported = int(added.size());
    return result;
}

} // namespace TransferFile
