#include "remembered/RememberedList.h"

#include "core/Cp1252.h"
#include "remembered/RowOrder.h"
#include "remembered/UsageCount.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <vector>

RememberedList::RememberedList(QObject *parent) : QAbstractTableModel(parent) {}

RememberedList::~RememberedList() = default;

int RememberedList::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : entryCount();
}

int RememberedList::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : WordsColumn + 1;
}

QVariant RememberedList::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};

    switch (role) {
    case Qt::DisplayRole: {
        return m_rows.text(index.row(), index.column());
    }
    case Qt::TextAlignmentRole:
        return int(index.column() == DescriptionColumn ? Qt::AlignCenter
                                                       : Qt::AlignLeft | Qt::AlignVCenter);
    default:
        return {};
    }
}

QVariant RememberedList::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case ValueColumn:
        return tr("Value");
    case DescriptionColumn:
        return tr("Description");
    case WordsColumn:
        return tr("Words");
    }
    return {};
}

void RememberedList::setSortColumn(int column)
{
    if (column < ValueColumn || column > WordsColumn || column == m_sortColumn)
        return;
    m_sortColumn = column;
    applyOrder(RowOrder::sortOrder(m_rows, m_sortColumn));
}

void RememberedList::applyOrder(const QList<qsizetype> &applied)
{
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    if (!applied.isEmpty())
        m_rows.reorder(applied);

    if (!before.isEmpty() && !applied.isEmpty()) {
        std::vector<int> newRow(size_t(applied.size()));
        for (qsizetype row = 0; row < applied.size(); ++row)
            newRow[size_t(applied.at(row))] = int(row);
        QModelIndexList after;
        after.reserve(before.size());
        for (const QModelIndex &index : before)
            after.append(this->index(newRow[size_t(index.row())], index.column()));
        changePersistentIndexList(before, after);
    }
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

RememberedList::Source RememberedList::loadSource()
{
    Source source;
    source.dataDir = m_dataDir;
    source.workingCopyOnly = m_workingCopyOnly;
    source.sortColumn = m_sortColumn;
    std::optional<PackedEntries> kept = std::exchange(m_kept, std::nullopt);
    if (kept && m_keptDir == m_dataDir && !m_workingCopyOnly && m_unreadableFileError.isEmpty()) {
        source.kept = std::move(kept);
        source.keptColumn = m_keptColumn;
        source.fileOrder = m_fileOrder;
        source.recount = !m_usageFromFile;
    }
    return source;
}

void RememberedList::prepare(Loaded *loaded, Source source)
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

bool RememberedList::reuseKept(Loaded *loaded, Source &source)
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

void RememberedList::replay(Loaded *loaded, RememberedJournal *journal)
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

RememberedFile::LoadStatus RememberedList::adopt(Loaded &loaded)
{
    beginResetModel();
    m_rows = std::move(loaded.file.packed);
    m_nextArrival = quint32(m_rows.size());
    if (loaded.counted)
        m_usage = std::move(loaded.usage);
    m_usageFromFile = true;
    m_fileOrder = -1;

    m_loaded = true;
    // After an interrupted save only rv2.db holds the list; the next save puts it
    // back into rv.db.
    m_blankedEntries = loaded.file.blankedEntries;
    // Changes from the journal are folded into the list file by the next save.
    m_changed = loaded.file.status == RememberedFile::LoadStatus::LoadedFromWorkingCopy ||
                m_blankedEntries > 0 || loaded.replayed > 0;
    ++m_changes;
    m_lastError = loaded.file.error;
    using RememberedFile::LoadStatus;
    if (loaded.file.status == LoadStatus::WorkingCopyInstead)
        m_workingCopyOnly = true;
    if (loaded.file.status == LoadStatus::Unreadable) {
        // With rv2.db missing, writing it risks nothing; an unreadable one is kept.
        if (!m_dataDir.isEmpty() && QFileInfo::exists(RememberedFile::filePath(m_dataDir)) &&
            !QFileInfo::exists(RememberedFile::workingCopyPath(m_dataDir)))
            m_workingCopyOnly = true;
        else if (!m_dataDir.isEmpty())
            m_unreadableFileError = loaded.file.error;
    }
    endResetModel();
    return loaded.file.status;
}

RememberedFile::LoadStatus RememberedList::readnumbers()
{
    Loaded loaded;
    prepare(&loaded, loadSource());
    return adopt(loaded);
}

RememberedList::SaveCopy RememberedList::saveCopy() const
{
    SaveCopy copy;
    copy.dataDir = m_dataDir;
    copy.rows = m_rows;
    copy.workingCopyOnly = m_workingCopyOnly;
    copy.column = m_sortColumn;
    copy.changes = m_changes;
    if (!m_unreadableFileError.isEmpty()) {
        copy.refusal = tr("The remembered numbers are not saved, so that the file which could "
                          "not be read stays as it is. %1")
                           .arg(m_unreadableFileError);
    } else if (!m_loaded) {
        // Writing rows that were never loaded would replace the stored list with them.
        copy.refusal = tr("The remembered numbers are not saved, because the stored list was "
                          "not loaded first.");
    }
    return copy;
}

bool RememberedList::write(SaveCopy &copy, QString *error, RememberedJournal *journal)
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

bool RememberedList::SaveNumbers(QString *error)
{
    if (!m_changed)
        return true;
    QString problem;
    SaveCopy copy = saveCopy();
    const bool saved = write(copy, &problem);
    saveEnded(saved, problem, copy);
    if (!saved && error)
        *error = problem;
    return saved;
}

void RememberedList::saveEnded(bool saved, const QString &error, const SaveCopy &copy)
{
    if (!saved) {
        m_lastError = error;
        return;
    }
    m_usageFromFile = false;
    if (copy.changes == m_changes) {
        m_changed = false;
        m_fileOrder = copy.column;
    }
}

void RememberedList::readImport(Imported *imported, const PackedEntries &rows, const QString &path,
                                int column, quint32 nextArrival)
{
    imported->result = TransferFile::readNew(rows, path, &imported->added);
    if (!imported->result.headerFound)
        return;
    imported->rows = rows;
    imported->nextArrival = nextArrival;
    RowOrder::mergeIn(imported->rows, imported->added, &imported->nextArrival, column);
}

TransferFile::ImportResult RememberedList::importFile(const QString &path)
{
    Imported imported;
    readImport(&imported, m_rows, path, m_sortColumn, m_nextArrival);
    adoptImport(imported);
    return imported.result;
}

void RememberedList::adoptImport(Imported &imported)
{
    if (!imported.result.headerFound)
        return;
    beginResetModel();
    m_rows = std::move(imported.rows);
    m_nextArrival = imported.nextArrival;
    m_changed = true;
    ++m_changes;
    endResetModel();
}

void RememberedList::unload()
{
    beginResetModel();
    m_kept.reset();
    if (m_loaded && !m_changed) {
        m_kept = std::move(m_rows);
        m_keptColumn = m_sortColumn;
        m_keptDir = m_dataDir;
    }
    m_rows.clear();
    m_loaded = false;
    // Nothing is left to save; a save now would empty the file.
    m_changed = false;
    endResetModel();
}

void RememberedList::insertSorted(const RememberedEntry &entry)
{
    const int at = int(RowOrder::insertionPoint(m_rows, m_sortColumn, entry));
    beginInsertRows({}, at, at);
    m_rows.insert(at, entry);
    m_rows.setTag(at, m_nextArrival++);
    endInsertRows();
}

void RememberedList::addEntry(const QString &value, const QString &desc, const QString &words)
{
    insertSorted({value, desc, words});
    countWords(words);
    m_changed = true;
    ++m_changes;
}

void RememberedList::appendEntry(const RememberedEntry &entry)
{
    insertSorted(entry);
    m_changed = true;
    ++m_changes;
}

bool RememberedList::removeEntry(int position)
{
    if (position < 1 || position > entryCount())
        return false;
    beginRemoveRows({}, position - 1, position - 1);
    m_rows.removeAt(position - 1);
    endRemoveRows();
    m_changed = true;
    ++m_changes;
    return true;
}

int RememberedList::positionOfTag(quint32 tag) const
{
    for (qsizetype row = 0; row < m_rows.size(); ++row) {
        if (m_rows.tag(row) == tag)
            return int(row + 1);
    }
    return 0;
}

RememberedEntry RememberedList::entry(int position) const
{
    if (position < 1 || position > entryCount())
        return {};
    return m_rows.at(position - 1);
}

int RememberedList::findDescription(const QString &text, int first, int last) const
{
    // The code page maps characters to bytes one to one, so the bytes tell; a text it
    // cannot hold is found only in entries kept aside.
    const bool encodable = Cp1252::canEncode(text);
    const QByteArray bytes = encodable ? Cp1252::encode(text) : QByteArray();
    for (int position = std::max(first, 1); position <= std::min(last, entryCount()); ++position) {
        const qsizetype row = position - 1;
        bool holds = false;
        if (m_rows.isKeptAside(row)) {
            const QString description = m_rows.text(row, DescriptionColumn);
            holds = !description.isEmpty() && description.contains(text);
        } else if (encodable) {
            const QByteArrayView description = m_rows.bytes(row, DescriptionColumn);
            holds = !description.isEmpty() && description.indexOf(bytes) >= 0;
        }
        if (holds)
            return position;
    }
    return 0;
}

void RememberedList::countWords(QStringView words)
{
    m_usageFromFile = false;
    for (const QStringView word : words.tokenize(u' ', Qt::SkipEmptyParts))
        m_usage.countWord(word);
}

int RememberedList::usesOf(const QString &word) const
{
    return m_usage.usesOf(word);
}
