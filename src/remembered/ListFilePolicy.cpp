#include "remembered/ListFilePolicy.h"

#include "remembered/RowOrder.h"
#include "remembered/UsageCount.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

ListFilePolicy::Source ListFilePolicy::loadSource(int sortColumn)
{
    Source source;
    source.dataDir = m_dataDir;
    source.workingCopyOnly = m_workingCopyOnly;
    source.sortColumn = sortColumn;
    std::optional<PackedEntries> kept = std::exchange(m_kept, std::nullopt);
    if (kept && m_keptDir == m_dataDir && !m_workingCopyOnly && m_unreadableFileError.isEmpty()) {
        source.kept = std::move(kept);
        source.keptColumn = m_keptColumn;
        source.fileOrder = m_fileOrder;
        source.recount = !m_usageFromFile;
    }
    return source;
}

void ListFilePolicy::prepare(Loaded *loaded, Source source)
{
    if (source.kept && reuseKept(loaded, source))
        return;
    // Loads happen only while no save runs, so a temporary file now is one that a
    // killed save left behind.
    RememberedFile::removeStaleTemporaries(source.dataDir);
    loaded->file = RememberedFile::loadPacked(source.dataDir, source.workingCopyOnly);
    if (loaded->file.status != RememberedFile::LoadStatus::Unreadable)
        replay(loaded, source.journal);
    PackedEntries &rows = loaded->file.packed;
    for (qsizetype i = 0; i < rows.size(); ++i)
        rows.setTag(i, quint32(i));

    countUses(rows, &loaded->usage);
    RowOrder::sortRows(rows, source.sortColumn);
}

bool ListFilePolicy::reuseKept(Loaded *loaded, Source &source)
{
    PackedEntries &rows = *source.kept;

    // Back into the order of the file, which must then read as exactly these rows.
    if (source.fileOrder >= 0) {
        if (source.fileOrder != source.keptColumn)
            RowOrder::sortRows(rows, source.fileOrder);
    } else {
        qsizetype inOrder = 1;
        while (inOrder < rows.size() && rows.tag(inOrder - 1) < rows.tag(inOrder))
            ++inOrder;
        if (inOrder < rows.size()) {
            QList<qsizetype> order(rows.size());
            for (qsizetype i = 0; i < rows.size(); ++i)
                order[i] = i;
            std::sort(order.begin(), order.end(),
                      [&rows](qsizetype a, qsizetype b) { return rows.tag(a) < rows.tag(b); });
            rows.reorder(order);
        }
    }
    if (!RememberedFile::readsAs(source.dataDir, rows))
        return false;

    // From here on as a load of that file goes.
    rows.rereadFields();
    loaded->file.status = RememberedFile::LoadStatus::Loaded;
    loaded->file.packed = std::move(rows);
    if (source.journal) {
        QFile file(RememberedFile::filePath(source.dataDir));
        loaded->file.fingerprint =
            ListFingerprint::of(file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray());
        replay(loaded, source.journal);
    }
    PackedEntries &kept = loaded->file.packed;
    for (qsizetype i = 0; i < kept.size(); ++i)
        kept.setTag(i, quint32(i));
    loaded->counted = source.recount || loaded->replayed > 0;
    if (loaded->counted)
        countUses(kept, &loaded->usage);
    RowOrder::sortRows(kept, source.sortColumn);
    return true;
}

void ListFilePolicy::replay(Loaded *loaded, RememberedJournal *journal)
{
    if (!journal)
        return;
    const RememberedJournal::Replay replay = journal->open(loaded->file.fingerprint);
    loaded->journalError = replay.error;
    PackedEntries &rows = loaded->file.packed;
    for (const RememberedJournal::Record &record : replay.records) {
        if (record.change == RememberedJournal::Change::Store) {
            rows.append(record.entry);
            continue;
        }
        // The first entry that reads as the one forgotten.
        for (qsizetype row = 0; row < rows.size(); ++row) {
            if (rows.at(row) == record.entry) {
                rows.removeAt(row);
                break;
            }
        }
    }
    loaded->replayed = replay.records.size();
}

void ListFilePolicy::loaded(const RememberedFile::LoadResult &file)
{
    m_usageFromFile = true;
    m_fileOrder = -1;
    using RememberedFile::LoadStatus;
    if (file.status == LoadStatus::WorkingCopyInstead)
        m_workingCopyOnly = true;
    if (file.status == LoadStatus::Unreadable) {
        // With rv2.db missing, writing it risks nothing; an unreadable one is kept.
        if (!m_dataDir.isEmpty() && QFileInfo::exists(RememberedFile::filePath(m_dataDir)) &&
            !QFileInfo::exists(RememberedFile::workingCopyPath(m_dataDir)))
            m_workingCopyOnly = true;
        else if (!m_dataDir.isEmpty())
            m_unreadableFileError = file.error;
    }
}

ListFilePolicy::SaveCopy ListFilePolicy::saveCopy(const PackedEntries &rows, int column,
                                                  bool rowsLoaded) const
{
    SaveCopy copy;
    copy.dataDir = m_dataDir;
    copy.rows = rows;
    copy.workingCopyOnly = m_workingCopyOnly;
    copy.column = column;
    if (!m_unreadableFileError.isEmpty()) {
        copy.refusal = QCoreApplication::translate(
                           "RememberedList",
                           "The remembered numbers are not saved, so that the file which could "
                           "not be read stays as it is. %1")
                           .arg(m_unreadableFileError);
    } else if (!rowsLoaded) {
        // Writing rows that were never loaded would replace the stored list with them.
        copy.refusal = QCoreApplication::translate(
            "RememberedList", "The remembered numbers are not saved, because the stored list was "
                              "not loaded first.");
    }
    return copy;
}

bool ListFilePolicy::write(SaveCopy &copy, QString *error, RememberedJournal *journal)
{
    if (!copy.refusal.isEmpty()) {
        *error = copy.refusal;
        return false;
    }
    ListFingerprint written;
    const RememberedFile::BeforeReplacing note = [journal, &copy, &written](QByteArrayView bytes,
                                                                            QString *problem) {
        // The bytes are made: the copy of the rows goes now rather than after the
        // writes, so that a change to the rows meanwhile does not copy them all again.
        copy.rows.clear();
        if (copy.rowsReleased)
            copy.rowsReleased();
        if (!journal)
            return true;
        written = ListFingerprint::of(bytes);
        return journal->noteFold(copy.journalMark, written, problem);
    };
    const bool saved = copy.workingCopyOnly
                           ? RememberedFile::saveWorkingCopy(copy.dataDir, copy.rows, error, note)
                           : RememberedFile::save(copy.dataDir, copy.rows, error, note);
    // A journal left longer than needed is read right at the next load.
    if (saved && journal)
        journal->compact(copy.journalMark, written);
    return saved;
}

void ListFilePolicy::saved(int column, bool whole)
{
    m_usageFromFile = false;
    if (whole)
        m_fileOrder = column;
}

void ListFilePolicy::keep(std::optional<PackedEntries> rows, int column)
{
    m_kept = std::move(rows);
    m_keptColumn = column;
    m_keptDir = m_dataDir;
}
