#include "remembered/TransferFile.h"

#include "core/Cp1252.h"
#include "core/QuotedLineFile.h"
#include "remembered/PackedEntries.h"

#include <QFile>
#include <QHashFunctions>

#include <algorithm>
#include <bit>
#include <deque>
#include <vector>

namespace TransferFile {

namespace {

// Appends the line of one text of an entry kept aside; false, with the reason, when
// the file cannot hold the text.
bool appendLine(QByteArray &bytes, const QString &text, QString *error)
{
    if (!QuotedLineFile::canWrite(text)) {
        if (error)
            *error = QuotedLineFile::unwritableError(text);
        return false;
    }
    bytes += '"';
    bytes += Cp1252::encode(text);
    bytes += "\"\r\n";
    return true;
}

// Writes the line of a text the file can hold at `out` and returns where it ends.
char *putLine(char *out, QByteArrayView text)
{
    *out++ = '"';
    out = std::copy(text.begin(), text.end(), out);
    return std::copy_n("\"\r\n", 3, out);
}

} // namespace

bool exportList(const PackedEntries &rows, const QString &path, QString *error)
{
    const QByteArrayView empty(emptyDescription);
    // The lines of entries kept aside first, as the file cannot hold every text of
    // theirs; packed texts hold nothing the file cannot, so their bytes go out as
    // they are.
    QList<QByteArray> keptAside;
    qsizetype size = qsizetype(sizeof header) + 3;
    for (qsizetype i = 0; i < rows.size(); ++i) {
        if (!rows.isKeptAside(i)) {
            // Three lines of four more bytes each.
            size += rows.bytes(i, 0).size() + rows.bytes(i, 1).size() + rows.bytes(i, 2).size() +
                    12 + (rows.bytes(i, 1).isEmpty() ? empty.size() : 0);
            continue;
        }
        const RememberedEntry entry = rows.at(i);
        QByteArray &lines = keptAside.emplace_back();
        if (!appendLine(lines, entry.Value, error) ||
            !appendLine(lines,
                        entry.Description.isEmpty() ? QString::fromLatin1(emptyDescription)
                                                    : entry.Description,
                        error) ||
            !appendLine(lines, entry.Words, error))
            return false;
        size += lines.size();
    }

    QByteArray bytes(size, Qt::Uninitialized);
    char *out = putLine(bytes.data(), QByteArrayView(header));
    auto nextKept = keptAside.cbegin();
    for (qsizetype i = 0; i < rows.size(); ++i) {
        if (rows.isKeptAside(i)) {
            out = std::copy(nextKept->cbegin(), nextKept->cend(), out);
            ++nextKept;
            continue;
        }
        const QByteArrayView description = rows.bytes(i, 1);
        out = putLine(out, rows.bytes(i, 0));
        out = putLine(out, description.isEmpty() ? empty : description);
        out = putLine(out, rows.bytes(i, 2));
    }
    return QuotedLineFile::writeBytes(path, bytes, error);
}

ImportResult readNew(const PackedEntries &rows, const QString &path, PackedEntries *added)
{
    ImportResult result;
    added->clear();
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

    // An entry of the list is held when its three texts, read as a load reads them
    // (the words without leading blanks), equal those of one read here. Entries kept
    // aside hold what no file does, so none matches.
    added->reserve(fields.size() / 3 + 1, bytes.size() + fields.size());
    // An open-addressed set of the list's texts and those of the entries added, each
    // slot holding part of the texts' hash and their place (the list's rows first, then
    // those added, plus one), so that most probes touch no text. Room for all of them
    // from the start, so it never has to grow.
    struct Slot
    {
        quint32 hashTag = 0;
        quint32 place = 0;
    };
    std::vector<Slot> held(std::bit_ceil(size_t(rows.size() + fields.size() / 3) * 2 + 2));
    const size_t seed = QHashSeed::globalSeed();
    const auto textAt = [&rows, added](quint32 place, int column) {
        return place < rows.size() ? rows.bytes(place, column)
                                   : added->bytes(place - rows.size(), column);
    };
    // Holds the texts at a place unless equal ones are held already.
    const auto hold = [&held, &textAt, seed](quint32 place) {
        const QByteArrayView value = textAt(place, 0);
        const QByteArrayView description = textAt(place, 1);
        const QByteArrayView words = textAt(place, 2);
        const size_t hash = qHashMulti(seed, value, description, words);
        const auto hashTag = quint32(quint64(hash) >> 32);
        size_t at = hash & (held.size() - 1);
        for (; held[at].place != 0; at = (at + 1) & (held.size() - 1)) {
            const quint32 other = held[at].place - 1;
            if (held[at].hashTag == hashTag && textAt(other, 2) == words &&
                textAt(other, 1) == description && textAt(other, 0) == value)
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
        added->appendTexts(value, description, words);
        if (!hold(quint32(rows.size() + added->size() - 1))) {
            added->removeLast();
            continue;
        }
        result.blanked +=
            blankedField.at(next) || blankedField.at(next + 1) || blankedField.at(next + 2) ? 1 : 0;
    }
    if (next < fields.size())
        result.status = ImportResult::Incomplete;

    result.imported = int(added->size());
    return result;
}

} // namespace TransferFile
