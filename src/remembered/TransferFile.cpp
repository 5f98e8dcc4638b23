#include "remembered/TransferFile.h"

#include "core/QuotedLineFile.h"
#include "remembered/RememberedList.h"

#include <QSet>

namespace {

// The three fields joined by a character none of them can hold, for a membership
// test that answers exactly as comparing field by field.
QString identity(const RememberedEntry &entry)
{
    return entry.Value + u'\n' + entry.Description + u'\n' + entry.Words;
}

} // namespace

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
    ImportResult result;
    const std::optional<QStringList> fields =
        QuotedLineFile::read(path, QuotedLineFile::EmptyLines::Skip, &result.error);
    if (!fields) {
        result.status = ImportResult::Unreadable;
        return result;
    }
    if (fields->isEmpty())
        return result;
    if (fields->first() != QLatin1String(header)) {
        result.status = ImportResult::InvalidHeader;
        return result;
    }

    QSet<QString> held;
    held.reserve(list.entryCount() + fields->size() / 3);
    for (int position = 1; position <= list.entryCount(); ++position)
        held.insert(identity(list.entry(position)));

    QList<RememberedEntry> added;
    qsizetype next = 1;
    for (; next + 3 <= fields->size(); next += 3) {
        const RememberedEntry entry{QuotedLineFile::blankUnwritable(fields->at(next)),
                                    QuotedLineFile::blankUnwritable(fields->at(next + 1)),
                                    QuotedLineFile::blankUnwritable(fields->at(next + 2))};
        const bool blanked = entry.Value != fields->at(next) ||
                             entry.Description != fields->at(next + 1) ||
                             entry.Words != fields->at(next + 2);
        if (entry.Value.contains(u':') || entry.Description.contains(u':')) {
            ++result.skipped;
            continue;
        }
        if (!held.contains(identity(entry))) {
            held.insert(identity(entry));
            added.append(entry);
            result.blanked += blanked ? 1 : 0;
        }
    }
    if (next < fields->size())
        result.status = ImportResult::Incomplete;

    result.imported = int(added.size());
    list.appendEntries(added);
    return result;
}

} // namespace TransferFile
