#pragma once

#include "core/WordCollection.h"
#include "core/WordUsage.h"
#include "remembered/ListFilePolicy.h"
#include "remembered/RememberedEntry.h"
#include "remembered/RememberedFile.h"
#include "remembered/RememberedJournal.h"
#include "remembered/TransferFile.h"

#include <QAbstractTableModel>
#include <QList>
#include <QString>

#include <memory>
#include <optional>

// The rows of the remembered numbers as the windows show them, and the usage table
// of every memory word stored in them; RememberedNumbers owns it and does all work on
// it. The rows are kept sorted by the sort column, so a row number is the position
// the user sees. Equal texts keep the order in which their entries arrived, so
// switching the sort column and back restores the same list. Every operation here is
// done at once; the halves of the long ones (loading, sorting, importing, saving)
// that may run on another thread are static and touch only what they are given.
class RememberedList : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column
    {
        ValueColumn = 0,
        DescriptionColumn = 1,
        WordsColumn = 2
    };

    explicit RememberedList(QObject *parent = nullptr);
    ~RememberedList() override;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    // A view asks for the index and the flags of every row whenever the rows are
    // replaced; these answer without the base class's round of virtual checks.
    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // The folder that holds rv.db.
    void setDataDir(const QString &dataDir) { m_files.setDataDir(dataDir); }
    QString dataDir() const { return m_files.dataDir(); }

    // Rows are always in ascending order of this column, ignoring letter case;
    // numbers compare as text.
    int sortColumn() const { return m_sortColumn; }
    void setSortColumn(int column);

    // Replaces the rows with the file's entries and rebuilds the usage table from
    // them. When rv.db exists but cannot be read, no later save of this object
    // replaces it: the rows come from rv2.db when that can be read, and saves write
    // rv2.db only. lastError() tells what went wrong. Entries whose text had to be
    // blanked to be writable leave the list changed, so the next save cleans the file.
    RememberedFile::LoadStatus readnumbers();
    QString lastError() const { return m_lastError; }
    // Entries of the last load that held text the file cannot hold.
    int blankedEntries() const { return m_blankedEntries; }
    // Whether saves go to rv2.db only, because rv.db could not be read.
    bool savesWorkingCopyOnly() const { return m_files.workingCopyOnly(); }

    // Writes the rows in display order when something changed; touches no file
    // otherwise. On failure the list stays changed and `error` says why. Refuses
    // when neither file could be read, and for rows that were never loaded.
    bool SaveNumbers(QString *error = nullptr);
    // Merges an export file into the rows: the entries it holds that the rows do not
    // (TransferFile::readNew), sorted into place. Any file with the header leaves the
    // list changed.
    TransferFile::ImportResult importFile(const QString &path);

    // Drops the rows; the usage table stays. Save first: unsaved changes are gone.
    // Saved rows are kept aside, and the next load takes them back instead of reading
    // the file again, as long as rv.db still holds exactly them.
    void unload();
    bool isLoaded() const { return m_loaded; }

    // Stores a new number, every word of it counted in the usage table. The words
    // are written as they come (the chain as the user built it starts with a blank),
    // and read without their leading blanks, as a load reads them.
    void addEntry(const QString &value, const QString &desc, const QString &words);
    // Stores an entry without counting its words (import): the usage table follows
    // at the next load.
    void appendEntry(const RememberedEntry &entry);
    // Removes the entry at a 1-based display position; false when there is none.
    bool removeEntry(int position);
    // The 1-based display position of the entry with this tag; 0 when it is gone.
    int positionOfTag(quint32 tag) const;

    int entryCount() const { return int(m_rows.size()); }
    // The rows in display order, packed.
    const PackedEntries &rows() const { return m_rows; }
    // The entry at a 1-based display position; an empty entry when there is none.
    RememberedEntry entry(int position) const;
    // The first position from `first` to `last` whose description is not empty and
    // holds `text`, letter case as it is; 0 when there is none.
    int findDescription(const QString &text, int first, int last) const;

    bool changed() const { return m_changed; }
    void setChanged(bool changed) { m_changed = changed; }

    // How often the stored numbers use each memory word.
    const WordUsage &usage() const { return m_usage; }
    // The uses of a word, whatever its letter case; 0 when it is not in the table.
    int usesOf(const QString &word) const;

private:
    friend class RememberedNumbers;

    using Source = ListFilePolicy::Source;
    using Loaded = ListFilePolicy::Loaded;
    using SaveCopy = ListFilePolicy::SaveCopy;

    Source loadSource() { return m_files.loadSource(m_sortColumn); }
    RememberedFile::LoadStatus adopt(Loaded &loaded);
    // Rows replaced by others are given back to the system on a thread: handing back
    // a million rows' memory stood the window still for some 100 ms.
    static void releaseElsewhere(PackedEntries &&rows);
    void applyOrder(const QList<qsizetype> &order);
    // The same with the rows already put in that order on a thread; they are taken
    // when nothing changed the list since they were copied, else the order is applied.
    void applyOrder(const QList<qsizetype> &order, std::optional<PackedEntries> &&ordered,
                    quint64 changes);
    SaveCopy saveCopy() const;
    // A change made since the copy was taken leaves the list changed.
    void saveEnded(bool saved, const QString &error, const SaveCopy &copy);
    // What an import merges, made ready away from the rows on show.
    struct Imported
    {
        TransferFile::ImportResult result;
        PackedEntries rows;
        quint32 nextArrival = 0;
        // The entries the import adds, for the journal.
        PackedEntries added;
    };
    static void readImport(Imported *imported, const PackedEntries &rows, const QString &path,
                           int column, quint32 nextArrival);
    void adoptImport(Imported &imported);
    void insertSorted(const RememberedEntry &entry);
    void countWords(QStringView words);

    // Each row's tag is its arrival: ties in the sort column keep this order.
    PackedEntries m_rows;
    quint32 m_nextArrival = 0;
    int m_sortColumn = DescriptionColumn;
    bool m_loaded = false;
    bool m_changed = false;
    // Counts every change, so that a save knows whether the rows changed while it wrote.
    quint64 m_changes = 0;
    QString m_lastError;
    int m_blankedEntries = 0;
    WordUsage m_usage;
    ListFilePolicy m_files;
};
