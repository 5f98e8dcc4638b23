#include "remembered/RememberedList.h"

#include "core/Cp1252.h"

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

namespace {

// The case-folded form of each byte of the code page, as QString::toCaseFolded()
// gives it, so that rows sort on their bytes without making folded copies. A byte
// that folds to more than one character is marked; its texts are folded whole.
struct FoldTable
{
    char16_t unit[256];
    bool several[256];
    // The place of unit[byte] among the folded forms of all bytes: ordered as the
    // units are, and small enough for sixteen of them to fill two numbers.
    quint8 rank[256];
};

const FoldTable &foldTable()
{
    static const FoldTable table = [] {
        FoldTable made{};
        for (int byte = 0; byte < 256; ++byte) {
            const QString folded = QString(Cp1252::toUnicode(char(byte))).toCaseFolded();
            made.several[byte] = folded.size() != 1;
            made.unit[byte] = folded.isEmpty() ? 0 : folded.at(0).unicode();
        }
        std::vector<char16_t> units(std::begin(made.unit), std::end(made.unit));
        std::sort(units.begin(), units.end());
        units.erase(std::unique(units.begin(), units.end()), units.end());
        for (int byte = 0; byte < 256; ++byte)
            made.rank[byte] = quint8(std::lower_bound(units.begin(), units.end(), made.unit[byte]) -
                                     units.begin());
        return made;
    }();
    return table;
}

// A sort key: the bytes of a text, read through the fold table, or where that will
// not do, the folded text itself.
struct SortKey
{
    QByteArrayView bytes;
    QString folded;
    bool isText = false;

    qsizetype size() const { return isText ? folded.size() : bytes.size(); }
    char16_t unit(qsizetype i, const FoldTable &table) const
    {
        return isText ? folded.at(i).unicode() : table.unit[static_cast<uchar>(bytes.at(i))];
    }
};

bool foldsPlainly(QByteArrayView bytes, const FoldTable &table)
{
    for (const char byte : bytes) {
        if (table.several[static_cast<uchar>(byte)])
            return false;
    }
    return true;
}

SortKey sortKeyOf(const PackedEntries &rows, qsizetype row, int column)
{
    SortKey key;
    key.bytes = rows.bytes(row, column);
    if (rows.isKeptAside(row) || !foldsPlainly(key.bytes, foldTable())) {
        key.folded = rows.text(row, column).toCaseFolded();
        key.isText = true;
    }
    return key;
}

// Orders folded texts as QString::compare does, unit by unit.
int compareKeys(const SortKey &a, const SortKey &b)
{
    const FoldTable &table = foldTable();
    const qsizetype common = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < common; ++i) {
        const char16_t x = a.unit(i, table);
        const char16_t y = b.unit(i, table);
        if (x != y)
            return x < y ? -1 : 1;
    }
    return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

// Counts every memory word of the rows into an empty usage table.
void countUses(const PackedEntries &rows, WordUsage *usage)
{
    // Counted by their bytes first: a million entries hold millions of words, but
    // only some ten thousand different ones. The table of them is open addressed,
    // a bucket holding the index of a word plus one.
    struct Use
    {
        QByteArrayView word;
        size_t hash;
        qint32 count;
    };
    std::vector<Use> uses;
    std::vector<quint32> buckets(1024, 0);
    const auto hashOf = [](QByteArrayView word) {
        size_t hash = 14695981039346656037ULL;
        for (const char c : word)
            hash = (hash ^ static_cast<uchar>(c)) * 1099511628211ULL;
        return hash;
    };
    const auto place = [&buckets](size_t hash, quint32 use) {
        size_t at = hash & (buckets.size() - 1);
        while (buckets[at] != 0)
            at = (at + 1) & (buckets.size() - 1);
        buckets[at] = use + 1;
    };
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const QByteArrayView words = rows.bytes(i, RememberedList::WordsColumn);
        for (qsizetype start = 0, end = 0; start < words.size(); start = end + 1) {
            end = words.indexOf(' ', start);
            if (end < 0)
                end = words.size();
            if (end == start)
                continue;
            const QByteArrayView bytes = words.sliced(start, end - start);
            const size_t hash = hashOf(bytes);
            size_t at = hash & (buckets.size() - 1);
            while (buckets[at] != 0 &&
                   (uses[buckets[at] - 1].hash != hash || uses[buckets[at] - 1].word != bytes))
                at = (at + 1) & (buckets.size() - 1);
            if (buckets[at] != 0) {
                ++uses[buckets[at] - 1].count;
                continue;
            }
            uses.push_back({bytes, hash, 1});
            buckets[at] = quint32(uses.size());
            if (uses.size() * 2 > buckets.size()) {
                buckets.assign(buckets.size() * 2, 0);
                for (size_t use = 0; use < uses.size(); ++use)
                    place(uses[use].hash, quint32(use));
            }
        }
    }
    qsizetype characters = 0;
    for (const Use &use : uses)
        characters += use.word.size();
    usage->reserve(qsizetype(uses.size()), characters);
    QString word;
    for (const Use &use : uses) {
        word.resize(use.word.size());
        QChar *unit = word.data();
        for (const char byte : use.word)
            *unit++ = Cp1252::toUnicode(byte);
        usage->countWord(word, use.count);
    }
}

} // namespace

QList<qsizetype> RememberedList::sortRows(PackedEntries &rows, int column, qsizetype sorted)
{
    const QList<qsizetype> order = sortOrder(rows, column, sorted);
    if (!order.isEmpty())
        rows.reorder(order);
    return order;
}

QList<qsizetype> RememberedList::sortOrder(const PackedEntries &rows, int column, qsizetype sorted)
{
    // A saved list comes back in display order, so a load rarely has to sort; that
    // shows from neighbouring keys, without building the table below.
    bool inOrder = true;
    for (qsizetype i = std::max<qsizetype>(sorted, 1); inOrder && i < rows.size(); ++i) {
        const int compared =
            compareKeys(sortKeyOf(rows, i - 1, column), sortKeyOf(rows, i, column));
        inOrder = compared < 0 || (compared == 0 && rows.tag(i - 1) < rows.tag(i));
    }
    if (inOrder)
        return {};

    // Sorting a million rows through their texts would wait on memory at every
    // comparison; the first sixteen characters of each key, packed into two numbers,
    // decide most comparisons without touching the texts. Keys that need folding
    // whole (rare) are compared whole.
    struct Slot
    {
        quint64 head;
        quint64 next;
        quint32 row;
        quint32 arrival;
        qint32 size; // of the key
        bool plain;  // the key's bytes fold one to one, and the prefix holds their ranks
    };
    const FoldTable &table = foldTable();
    std::vector<Slot> order;
    order.reserve(size_t(rows.size()));
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const QByteArrayView key = rows.bytes(i, column);
        const bool plain = !rows.isKeptAside(i) && foldsPlainly(key, table);
        quint64 prefix[2] = {0, 0};
        for (qsizetype k = 0; plain && k < 16; ++k) {
            const quint64 rank = k < key.size() ? table.rank[static_cast<uchar>(key.at(k))] : 0;
            prefix[k / 8] = prefix[k / 8] << 8 | rank;
        }
        order.push_back({prefix[0], prefix[1], quint32(i), rows.tag(i), qint32(key.size()), plain});
    }
    const auto lessThan = [&rows, column](const Slot &a, const Slot &b) {
        int compared = 0;
        if (a.plain && b.plain) {
            if (a.head != b.head)
                return a.head < b.head;
            if (a.next != b.next)
                return a.next < b.next;
            if (a.size <= 16 && b.size <= 16) {
                // The whole keys are in the prefixes; they differ at most in length.
                compared = a.size - b.size;
            } else {
                SortKey x, y;
                x.bytes = rows.bytes(a.row, column);
                y.bytes = rows.bytes(b.row, column);
                compared = compareKeys(x, y);
            }
        } else {
            compared = compareKeys(sortKeyOf(rows, a.row, column), sortKeyOf(rows, b.row, column));
        }
        return compared != 0 ? compared < 0 : a.arrival < b.arrival;
    };

    // Rows added to a sorted list are sorted on their own and merged in.
    std::sort(order.begin() + sorted, order.end(), lessThan);
    std::inplace_merge(order.begin(), order.begin() + sorted, order.end(), lessThan);
    QList<qsizetype> applied;
    applied.reserve(rows.size());
    for (const Slot &slot : order)
        applied.append(slot.row);
    return applied;
}

void RememberedList::mergeIn(PackedEntries &rows, const PackedEntries &entries,
                             quint32 *nextArrival, int column)
{
    const qsizetype sorted = rows.size();
    rows.reserve(rows.size() + entries.size(), rows.byteSize() + entries.byteSize());
    for (qsizetype i = 0; i < entries.size(); ++i) {
        rows.appendFrom(entries, i);
        rows.setTag(rows.size() - 1, (*nextArrival)++);
    }
    sortRows(rows, column, sorted);
}

void RememberedList::setSortColumn(int column)
{
    if (column < ValueColumn || column > WordsColumn || column == m_sortColumn)
        return;
    m_sortColumn = column;
    applyOrder(sortOrder(m_rows, m_sortColumn));
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
    sortRows(rows, source.sortColumn);
}

bool RememberedList::reuseKept(Loaded *loaded, Source &source)
{
    PackedEntries &rows = *source.kept;

    // Back into the order of the file, which must then read as exactly these rows.
    if (source.fileOrder >= 0) {
        if (source.fileOrder != source.keptColumn)
            sortRows(rows, source.fileOrder);
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
    sortRows(kept, source.sortColumn);
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
    mergeIn(imported->rows, imported->added, &imported->nextArrival, column);
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
    SortKey key;
    // The words sort as they read back, without their leading blanks.
    key.folded = (m_sortColumn == ValueColumn   ? QStringView(entry.Value)
                  : m_sortColumn == WordsColumn ? PackedEntries::wordsRead(entry.Words)
                                                : QStringView(entry.Description))
                     .toString()
                     .toCaseFolded();
    key.isText = true;
    // The new entry arrives last, so it goes after every equal text.
    qsizetype low = 0;
    qsizetype high = m_rows.size();
    while (low < high) {
        const qsizetype middle = low + (high - low) / 2;
        if (compareKeys(key, sortKeyOf(m_rows, middle, m_sortColumn)) < 0)
            high = middle;
        else
            low = middle + 1;
    }
    const int at = int(low);
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
