#include "remembered/RememberedList.h"

#include <QFileInfo>

#include <algorithm>
#include <vector>

RememberedList::RememberedList(QObject *parent) : QAbstractTableModel(parent) {}

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
        const RememberedEntry &entry = m_rows.at(index.row()).entry;
        switch (index.column()) {
        case ValueColumn:
            return entry.Value;
        case DescriptionColumn:
            return entry.Description;
        case WordsColumn:
            return entry.Words;
        }
        return {};
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

QString RememberedList::sortKeyOf(const RememberedEntry &entry) const
{
    switch (m_sortColumn) {
    case ValueColumn:
        return entry.Value.toCaseFolded();
    case WordsColumn:
        return entry.Words.toCaseFolded();
    default:
        return entry.Description.toCaseFolded();
    }
}

bool RememberedList::rowLessThan(const Row &a, const Row &b)
{
    const int order = QString::compare(a.sortKey, b.sortKey, Qt::CaseSensitive);
    return order != 0 ? order < 0 : a.arrival < b.arrival;
}

void RememberedList::sortRows()
{
    // Sorting 100,000 rows through their texts would wait on memory at every
    // comparison; the first four characters of each key, packed into one number,
    // decide most comparisons without touching the texts.
    struct Slot
    {
        quint64 prefix;
        qsizetype row;
    };
    std::vector<Slot> order;
    order.reserve(m_rows.size());
    for (qsizetype i = 0; i < m_rows.size(); ++i) {
        Row &row = m_rows[i];
        row.sortKey = sortKeyOf(row.entry);
        quint64 prefix = 0;
        for (qsizetype k = 0; k < 4; ++k)
            prefix = prefix << 16 | (k < row.sortKey.size() ? row.sortKey.at(k).unicode() : 0);
        order.push_back({prefix, i});
    }
    const auto lessThan = [this](const Slot &a, const Slot &b) {
        if (a.prefix != b.prefix)
            return a.prefix < b.prefix;
        return rowLessThan(m_rows.at(a.row), m_rows.at(b.row));
    };

    // A saved list comes back in display order, so a load rarely has to sort.
    if (std::is_sorted(order.cbegin(), order.cend(), lessThan))
        return;
    std::sort(order.begin(), order.end(), lessThan);
    QList<Row> sorted;
    sorted.reserve(m_rows.size());
    for (const Slot &slot : order)
        sorted.append(std::move(m_rows[slot.row]));
    m_rows = std::move(sorted);
}

void RememberedList::setSortColumn(int column)
{
    if (column < ValueColumn || column > WordsColumn || column == m_sortColumn)
        return;

    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    QList<quint64> arrivals;
    arrivals.reserve(before.size());
    for (const QModelIndex &index : before)
        arrivals.append(m_rows.at(index.row()).arrival);

    m_sortColumn = column;
    sortRows();

    if (!before.isEmpty()) {
        QHash<quint64, int> rowOf;
        rowOf.reserve(m_rows.size());
        for (int row = 0; row < m_rows.size(); ++row)
            rowOf.insert(m_rows.at(row).arrival, row);
        QModelIndexList after;
        after.reserve(before.size());
        for (qsizetype i = 0; i < before.size(); ++i)
            after.append(index(rowOf.value(arrivals.at(i)), before.at(i).column()));
        changePersistentIndexList(before, after);
    }
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

RememberedFile::LoadStatus RememberedList::readnumbers()
{
    beginResetModel();
    while (m_wordc.count() > 0)
        m_wordc.Remove(1);
    m_wordsByText.clear();
    m_rows.clear();
    m_nextArrival = 0;

    // Loads happen only while no save runs, so a temporary file now is one that a
    // killed save left behind.
    RememberedFile::removeStaleTemporaries(m_dataDir);
    RememberedFile::LoadResult loaded = m_workingCopyOnly
                                            ? RememberedFile::loadWorkingCopy(m_dataDir)
                                            : RememberedFile::load(m_dataDir);
    m_rows.reserve(loaded.entries.size());
    for (RememberedEntry &entry : loaded.entries) {
        countWords(entry.Words);
        m_rows.append({std::move(entry), m_nextArrival++, {}});
    }
    sortRows();

    m_loaded = true;
    // After an interrupted save only rv2.db holds the list; the next save puts it
    // back into rv.db.
    m_blankedEntries = loaded.blankedEntries;
    m_changed =
        loaded.status == RememberedFile::LoadStatus::LoadedFromWorkingCopy || m_blankedEntries > 0;
    m_lastError = loaded.error;
    using RememberedFile::LoadStatus;
    if (loaded.status == LoadStatus::WorkingCopyInstead)
        m_workingCopyOnly = true;
    if (loaded.status == LoadStatus::Unreadable) {
        // With rv2.db missing, writing it risks nothing; an unreadable one is kept.
        if (!m_dataDir.isEmpty() && QFileInfo::exists(RememberedFile::filePath(m_dataDir)) &&
            !QFileInfo::exists(RememberedFile::workingCopyPath(m_dataDir)))
            m_workingCopyOnly = true;
        else if (!m_dataDir.isEmpty())
            m_unreadableFileError = loaded.error;
    }
    endResetModel();
    return loaded.status;
}

bool RememberedList::SaveNumbers(QString *error)
{
    if (!m_changed)
        return true;

    QString problem;
    if (!m_unreadableFileError.isEmpty()) {
        problem = tr("The remembered numbers are not saved, so that the file which could not "
                     "be read stays as it is. %1")
                      .arg(m_unreadableFileError);
    } else if (!m_loaded) {
        // Writing rows that were never loaded would replace the stored list with them.
        problem = tr("The remembered numbers are not saved, because the stored list was not "
                     "loaded first.");
    } else if (m_workingCopyOnly ? RememberedFile::saveWorkingCopy(m_dataDir, entries(), &problem)
                                 : RememberedFile::save(m_dataDir, entries(), &problem)) {
        m_changed = false;
        return true;
    }

    m_lastError = problem;
    if (error)
        *error = problem;
    return false;
}

void RememberedList::unload()
{
    beginResetModel();
    m_rows.clear();
    m_loaded = false;
    // Nothing is left to save; a save now would empty the file.
    m_changed = false;
    endResetModel();
}

void RememberedList::insertSorted(const RememberedEntry &entry)
{
    const Row row{entry, m_nextArrival++, sortKeyOf(entry)};
    const auto position = std::upper_bound(m_rows.cbegin(), m_rows.cend(), row, rowLessThan);
    const int at = int(position - m_rows.cbegin());
    beginInsertRows({}, at, at);
    m_rows.insert(at, row);
    endInsertRows();
}

void RememberedList::addEntry(const QString &value, const QString &desc, const QString &words)
{
    insertSorted({value, desc, words});
    countWords(words);
    m_changed = true;
}

void RememberedList::appendEntry(const RememberedEntry &entry)
{
    insertSorted(entry);
    m_changed = true;
}

void RememberedList::appendEntries(const QList<RememberedEntry> &entries)
{
    if (entries.isEmpty()) {
        m_changed = true;
        return;
    }
    beginResetModel();
    m_rows.reserve(m_rows.size() + entries.size());
    for (const RememberedEntry &entry : entries)
        m_rows.append({entry, m_nextArrival++, {}});
    sortRows();
    endResetModel();
    m_changed = true;
}

bool RememberedList::removeEntry(int position)
{
    if (position < 1 || position > entryCount())
        return false;
    beginRemoveRows({}, position - 1, position - 1);
    m_rows.removeAt(position - 1);
    endRemoveRows();
    m_changed = true;
    return true;
}

RememberedEntry RememberedList::entry(int position) const
{
    if (position < 1 || position > entryCount())
        return {};
    return m_rows.at(position - 1).entry;
}

QList<RememberedEntry> RememberedList::entries() const
{
    QList<RememberedEntry> result;
    result.reserve(m_rows.size());
    for (const Row &row : m_rows)
        result.append(row.entry);
    return result;
}

void RememberedList::countWords(QStringView words)
{
    for (const QStringView word : words.tokenize(u' ', Qt::SkipEmptyParts))
        countWord(word.toString());
}

void RememberedList::countWord(const QString &word)
{
    if (word.isEmpty())
        return;
    if (const auto known = m_wordsByText.constFind(word); known != m_wordsByText.cend()) {
        (*known)->setCount((*known)->count() + 1);
        return;
    }
    // The keys ignore letter case, so a second spelling of a known word ("Bill" after
    // "bill") gets a record of its own without a key.
    WordCollection::Record record = m_wordc.Add(word, 1, word);
    if (!record)
        record = m_wordc.Add(word, 1);
    m_wordsByText.insert(word, record);
}

int RememberedList::getcount(const QString &word) const
{
    const WordCollection::Record record = m_wordc.Item(word);
    return record ? record->count() : 0;
}
