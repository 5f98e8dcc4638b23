#include "remembered/RememberedList.h"

#include "core/Cp1252.h"
#include "core/ThreadPriority.h"
#include "remembered/ListFilePolicy.h"
#include "remembered/RowOrder.h"
#include "remembered/UsageCount.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <system_error>
#include <thread>
#include <utility>
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

QModelIndex RememberedList::index(int row, int column, const QModelIndex &parent) const
{
    if (parent.isValid() || row < 0 || row >= m_rows.size() || column < ValueColumn ||
        column > WordsColumn)
        return {};
    return createIndex(row, column);
}

Qt::ItemFlags RememberedList::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren;
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

void RememberedList::applyOrder(const QList<qsizetype> &order)
{
    applyOrder(order, std::nullopt, m_changes);
}

void RememberedList::applyOrder(const QList<qsizetype> &applied,
                                std::optional<PackedEntries> &&ordered, quint64 changes)
{
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    // Putting a million rows in their new order here stood the window still for
    // some 50 ms: the memory of the new order is filled for the first time.
    if (ordered && changes == m_changes && ordered->size() == m_rows.size())
        releaseElsewhere(std::exchange(m_rows, *std::move(ordered)));
    else if (!applied.isEmpty())
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

RememberedFile::LoadStatus RememberedList::adopt(Loaded &loaded)
{
    beginResetModel();
    releaseElsewhere(std::exchange(m_rows, std::move(loaded.file.packed)));
    m_nextArrival = quint32(m_rows.size());
    if (loaded.counted)
        m_usage = std::move(loaded.usage);
    m_files.loaded(loaded.file);

    m_loaded = true;
    // After an interrupted save only rv2.db holds the list; the next save puts it
    // back into rv.db.
    m_blankedEntries = loaded.file.blankedEntries;
    // Changes from the journal are folded into the list file by the next save.
    m_changed = loaded.file.status == RememberedFile::LoadStatus::LoadedFromWorkingCopy ||
                m_blankedEntries > 0 || loaded.replayed > 0;
    ++m_changes;
    m_lastError = loaded.file.error;
    endResetModel();
    return loaded.file.status;
}

RememberedFile::LoadStatus RememberedList::readnumbers()
{
    Loaded loaded;
    ListFilePolicy::prepare(&loaded, loadSource());
    return adopt(loaded);
}

bool RememberedList::SaveNumbers(QString *error)
{
    if (!m_changed)
        return true;
    QString problem;
    SaveCopy copy = saveCopy();
    const bool saved = ListFilePolicy::write(copy, &problem);
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
    m_files.saved(copy.column, copy.changes == m_changes);
    if (copy.changes == m_changes)
        m_changed = false;
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
    releaseElsewhere(std::exchange(m_rows, std::move(imported.rows)));
    m_nextArrival = imported.nextArrival;
    m_changed = true;
    ++m_changes;
    endResetModel();
}

void RememberedList::releaseElsewhere(PackedEntries &&rows)
{
    if (rows.size() == 0)
        return;
    // A thread of its own, not a pool's: starting it is what orders the rows' last
    // use here before their release there, also for a thread checker that cannot see
    // inside QtCore. With no thread to be had, the rows go here.
    try {
        std::thread([released = std::move(rows)]() mutable {
            ThreadPriority::lowerCurrent();
            released = PackedEntries();
        })
            .detach();
    } catch (const std::system_error &) {
    }
}

void RememberedList::unload()
{
    beginResetModel();
    m_files.keep(m_loaded && !m_changed ? std::optional(std::move(m_rows)) : std::nullopt,
                 m_sortColumn);
    releaseElsewhere(std::exchange(m_rows, PackedEntries()));
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

RememberedList::SaveCopy RememberedList::saveCopy() const
{
    SaveCopy copy = m_files.saveCopy(m_rows, m_sortColumn, m_loaded);
    copy.changes = m_changes;
    return copy;
}

void RememberedList::countWords(QStringView words)
{
    m_files.usageChanged();
    for (const QStringView word : words.tokenize(u' ', Qt::SkipEmptyParts))
        m_usage.countWord(word);
}

int RememberedList::usesOf(const QString &word) const
{
    return m_usage.usesOf(word);
}
